#pragma once

#include "tests/app/AppFixtures.h"

#include <QSettings>

#include <gtest/gtest.h>

namespace quillfen::testing {

// A model for the book screen's tests, with the stored zoom and other settings cleared.
class BookScreenTest : public ::testing::Test {
protected:
    BookScreenTest() { QSettings().clear(); }
    ~BookScreenTest() override { model.editorPool().waitForDone(); }

    AppModel model{false};
};

}  // namespace quillfen::testing
