#include "BookFixtures.h"

#include "app/book/BookPages.h"

#include <QSettings>

#include <limits>

namespace quillfen {
namespace {

TEST(BookPages, StoredZoomOutsideTheSliderIsClampedBeforeItSizesABitmap) {
    const struct Case { QVariant stored; double zoom; } cases[] = {
        {QVariant(), 230}, {1e6, 420}, {-5.0, 150}, {std::numeric_limits<double>::quiet_NaN(), 230},
        {std::numeric_limits<double>::infinity(), 420}, {QString("huge"), 230}, {300.5, 300.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.toString().toStdString());
        QSettings().setValue("pageZoom", c.stored);
        if (c.stored.isNull()) QSettings().remove("pageZoom");
        EXPECT_EQ(BookPages::storedZoom(), c.zoom);
    }
}

}  // namespace
}  // namespace quillfen
