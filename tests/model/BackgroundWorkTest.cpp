#include "ModelFixtures.h"

#include "app/model/KeyedJob.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

using namespace quillfen;

namespace {

int niceOfThisThread() { return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())); }

}  // namespace

// The views' background jobs (previews, page renders) fill every core during an import; at the
// window's own priority they crowd out the GUI thread.
TEST(BackgroundWork, ViewJobsRunTenNiceLevelsBelowTheWindow) {
    AppModel model(false);
    QObject owner;
    KeyedJob<int, int> job(&owner);
    std::optional<int> nice;
    job.start(model.editorPool(), 1, [] { return niceOfThisThread(); }, [&](int value) { nice = value; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return nice.has_value(); }, 10000));
    EXPECT_EQ(*nice, std::min(niceOfThisThread() + 10, 19));
}
