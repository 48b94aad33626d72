#include "engine/cleanup/ImageIO.h"

#include <atomic>
#include <thread>
#include <tuple>

#include <gtest/gtest.h>
#include <turbojpeg.h>
#include <opencv2/imgcodecs.hpp>

#include "tests/engine/GoldenImages.h"
#include "tests/engine/IcuDefaults.h"
#include "tests/engine/ImageFixtures.h"

using namespace quillfen;
using namespace quillfen::testing;
using namespace quillfen::fixtures;

namespace {

Bytes encoded(const cv::Mat& image, const std::string& extension) {
    std::vector<std::uint8_t> out;
    cv::imencode(extension, image, out);
    return out;
}

// The JPEG's frame header claims width x height; the compressed data stays as it was.
Bytes withClaimedJpegSize(Bytes jpeg, int width, int height) {
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = height >> 8, jpeg[i + 6] = height & 0xFF;
            jpeg[i + 7] = width >> 8, jpeg[i + 8] = width & 0xFF;
            break;
        }
    }
    return jpeg;
}

// Three pixels stored as Adobe writes CMYK (255 is no ink): full magenta and yellow, half black, full cyan.
Bytes cmykJpeg() {
    const std::uint8_t cmyk[] = {255, 0, 0, 255, 255, 255, 255, 128, 0, 255, 255, 255};
    tjhandle handle = tjInitCompress();
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, cmyk, 3, 12, 1, TJPF_CMYK, &buffer, &size, TJSAMP_444, 100, 0);
    const Bytes file(buffer, buffer + size);
    tjFree(buffer);
    tjDestroy(handle);
    return file;
}

}  // namespace

TEST(ImageIO, OrientationsStandThePictureUpright) {
    struct Case {
        int orientation;
        Rgb topLeft, topRight;
    };
    const Case cases[] = {
        {1, red, green}, {2, green, red}, {3, white, blue},  {4, blue, white},
        {5, red, blue},  {6, blue, red},  {7, white, green}, {8, green, white},
    };
    const Bitmap picture = quadrants(64, 32);
    // TIFF files carry the tag in their first directory, and OpenCV turns them itself.
    const std::pair<const char*, Bytes> plainFiles[] = {{"JPEG", jpegBytes(picture)},
                                                        {"TIFF", encoded(golden::bgr(picture), ".tiff")}};
    for (const auto& [type, plain] : plainFiles) {
        for (const auto& c : cases) {
            SCOPED_TRACE(::testing::Message() << type << " orientation " << c.orientation);
            const Bytes file = withOrientation(plain, c.orientation);
            const Size upright = c.orientation >= 5 ? Size{32, 64} : Size{64, 32};
            const auto image = Cleaner::decode(file);
            ASSERT_TRUE(image);
            EXPECT_EQ(sizeOf(*image), upright);
            EXPECT_TRUE(near(rgbAt(*image, 4, 4), c.topLeft, 12));
            EXPECT_TRUE(near(rgbAt(*image, image->width - 5, 4), c.topRight, 12));
            EXPECT_EQ(Cleaner::imageSize(file), upright);
        }
    }
}

TEST(ImageIO, ScalingToAMaximumSideRoundsOutwardAndNeverEnlarges) {
    struct Case {
        int width, height;
        std::optional<double> maximumSide;
        Size expected;
    };
    const Case cases[] = {
        {2016, 1512, 1000, {1000, 750}},  // a JPEG decodes at reduced size, then takes a last small step
        {1092, 100, 700, {700, 65}},      // 1092 x 700/1092 is 700, not 701
        {640, 480, 1000, {640, 480}},
        {3, 1, 1, {1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.width << "x" << c.height << " to " << c.maximumSide.value_or(0));
        const Bitmap picture = filled(c.width, c.height, [](int, int) { return red; });
        const auto decoded = Cleaner::decode(jpegBytes(picture, 80), c.maximumSide);
        const auto scaled = Cleaner::downscaled(picture, c.maximumSide);
        ASSERT_TRUE(decoded && scaled);
        EXPECT_EQ(sizeOf(*decoded), c.expected);
        EXPECT_EQ(sizeOf(*scaled), c.expected);
        EXPECT_TRUE(near(rgbAt(*decoded, decoded->width / 2, decoded->height / 2), red, 12));
    }
    // The side limit holds after turning upright.
    const auto turned = Cleaner::decode(withOrientation(jpegBytes(quadrants(2016, 1512), 80), 6), 1000);
    ASSERT_TRUE(turned);
    EXPECT_EQ(sizeOf(*turned), (Size{750, 1000}));
    EXPECT_TRUE(near(rgbAt(*turned, 187, 250), blue, 12));
    EXPECT_FALSE(Cleaner::downscaled(Bitmap(), 700));
    EXPECT_FALSE(Cleaner::downscaled(Bitmap(10, 10), 0.5));
    EXPECT_FALSE(Cleaner::downscaled(Bitmap(10, 10), std::nan("")));
}

TEST(ImageIO, TransparencyDeepAndCmykPixelsDecodeToOpaqueSrgb) {
    cv::Mat bgra(1, 3, CV_8UC4);
    bgra.at<cv::Vec4b>(0, 0) = {0, 0, 255, 255};  // opaque red
    bgra.at<cv::Vec4b>(0, 1) = {0, 0, 0, 0};      // fully transparent black
    bgra.at<cv::Vec4b>(0, 2) = {0, 0, 0, 128};    // half-covered black: half the light of white
    const Rgb orange{0, 128, 255}, grey{77, 77, 77};
    struct Case {
        const char* name;
        Bytes file;
        Rgb pixels[3];
        int tolerance;
    };
    const Case cases[] = {
        {"PNG with alpha, on white", encoded(bgra, ".png"), {red, white, {188, 188, 188}}, 1},
        {"grey PNG", encoded(cv::Mat(1, 3, CV_8UC1, cv::Scalar(77)), ".png"), {grey, grey, grey}, 1},
        {"16-bit TIFF",
         encoded(cv::Mat(1, 3, CV_16UC3, cv::Scalar(65535, 128 * 257, 0)), ".tiff"),
         {orange, orange, orange},
         1},
        {"Adobe CMYK JPEG", cmykJpeg(), {red, {128, 128, 128}, {0, 255, 255}}, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto image = Cleaner::decode(c.file);
        ASSERT_TRUE(image);
        ASSERT_EQ(sizeOf(*image), (Size{3, 1}));
        for (int x = 0; x < 3; ++x) {
            EXPECT_TRUE(near(rgbAt(*image, x, 0), c.pixels[x], c.tolerance)) << "pixel " << x;
            EXPECT_EQ(image->pixel(x, 0)[3], 255);
        }
    }
}

TEST(ImageIO, HeicComesUprightFromLibheifWithoutTurningTwice) {
    Exiv2::ExifData exif;
    exif["Exif.Image.Orientation"] = std::uint16_t(6);  // says the same as the file's irot box
    exif["Exif.Photo.DateTimeOriginal"] = std::string("2023:12:24 18:30:00");
    ScopedIcuDefaults utc("UTC");
    for (const int bits : {8, 10}) {  // deeper photos come down to eight bits
        SCOPED_TRACE(::testing::Message() << bits << " bits");
        const Bytes file = heicOf(quadrants(64, 32), heif_orientation_rotate_90_cw, &exif, bits);
        EXPECT_EQ(Cleaner::imageType(file), ImageType::heic);
        const auto image = Cleaner::decode(file);
        ASSERT_TRUE(image);
        EXPECT_EQ(sizeOf(*image), (Size{32, 64}));
        EXPECT_TRUE(near(rgbAt(*image, 4, 4), blue, 24));
        EXPECT_TRUE(near(rgbAt(*image, 27, 4), red, 24));
        EXPECT_EQ(Cleaner::imageSize(file), (Size{32, 64}));
        EXPECT_EQ(Cleaner::photoDate(file), Date::fromUnixSeconds(1703442600));
    }
}

TEST(ImageIO, PhotoDateIsReadAsLocalTimeOfTheDefaultZone) {
    const Bytes jpeg = jpegBytes(quadrants(16, 16));
    const Bytes tiff = encoded(cv::Mat(4, 4, CV_8UC3, cv::Scalar(1, 2, 3)), ".tiff");
    const double utcSeconds = 1710511620;  // 2024-03-15 14:07:00 UTC
    const std::tuple<const char*, Bytes, double> cases[] = {
        {"UTC", jpeg, utcSeconds},
        {"America/New_York", jpeg, utcSeconds + 4 * 3600},
        {"Asia/Tokyo", jpeg, utcSeconds - 9 * 3600},
        {"UTC", tiff, utcSeconds},
    };
    for (const auto& [zone, file, seconds] : cases) {
        SCOPED_TRACE(::testing::Message()
                     << zone << ", " << Cleaner::fileExtension(Cleaner::imageType(file)));
        ScopedIcuDefaults defaults(zone);
        EXPECT_EQ(Cleaner::photoDate(withDate(file, "2024:03:15 14:07:00")), Date::fromUnixSeconds(seconds));
    }
    ScopedIcuDefaults utc("UTC");
    for (const char* wrong : {"2024-03-15 14:07:00", "2024:03:15 14:07:00 and more"}) {
        EXPECT_FALSE(Cleaner::photoDate(withDate(jpeg, wrong))) << wrong;
    }
    EXPECT_FALSE(Cleaner::photoDate(jpeg));
    EXPECT_FALSE(Cleaner::photoDate(encoded(cv::Mat(4, 4, CV_8UC3, cv::Scalar(1, 2, 3)), ".png")));
}

TEST(ImageIO, DamagedHugeAndHostileDataDecodesToNothing) {
    const Bytes jpeg = jpegBytes(quadrants(256, 256));
    const Bytes png = encoded(cv::Mat(256, 256, CV_8UC3, cv::Scalar(1, 2, 3)), ".png");
    const Bytes heic = heicOf(quadrants(64, 64));
    Bytes hugePng = png;  // an IHDR that claims 100000 x 100000 pixels
    hugePng[16] = 0, hugePng[17] = 1, hugePng[18] = 0x86, hugePng[19] = 0xA0;
    std::copy(hugePng.begin() + 16, hugePng.begin() + 20, hugePng.begin() + 20);
    Bytes noise(4096);
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<std::uint8_t>(i * 7919 >> 3);
    Bytes jpegHead(jpeg.begin(), jpeg.begin() + 2);
    jpegHead.insert(jpegHead.end(), noise.begin(), noise.end());

    struct Case {
        const char* name;
        Bytes data;
    };
    const Case cases[] = {
        {"empty", {}},
        {"noise", noise},
        {"JPEG marker then noise", jpegHead},
        {"truncated JPEG", Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() / 2)},
        {"truncated PNG", Bytes(png.begin(), png.begin() + png.size() / 2)},
        {"truncated HEIC", Bytes(heic.begin(), heic.begin() + heic.size() / 2)},
        {"JPEG claiming 60000 x 60000", withClaimedJpegSize(jpeg, 60000, 60000)},
        {"JPEG claiming 20000 x 10001 (over 200 megapixels)", withClaimedJpegSize(jpeg, 20000, 10001)},
        {"PNG claiming 100000 x 100000", hugePng},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Cleaner::decode(c.data));
        EXPECT_FALSE(Cleaner::decode(c.data, 1000));
        EXPECT_FALSE(Cleaner::photoDate(c.data));
    }
    EXPECT_FALSE(Cleaner::imageSize(withClaimedJpegSize(jpeg, 60000, 60000)));
    EXPECT_FALSE(Cleaner::imageFromJpeg(png));
}

// A clear pixel anywhere, the last of an odd count included, is coded as the white it lies on.
TEST(ImageIO, JpegCodesAClearPixelAsWhite) {
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{3, 2}, std::pair{16, 8}}) {
        SCOPED_TRACE(::testing::Message() << x << ", " << y);
        Bitmap picture(17, 9);
        std::fill(picture.pixels.begin(), picture.pixels.end(), 255);
        std::fill(picture.pixel(x, y), picture.pixel(x, y) + 4, 0);
        const auto back = Cleaner::imageFromJpeg(Cleaner::jpegData(picture, 0.92).value());
        ASSERT_TRUE(back);
        EXPECT_TRUE(near(rgbAt(*back, x, y), white, 8));
    }
}

TEST(ImageIO, JpegRoundTripKeepsTheSizeAndTypesAreKnownByContent) {
    const auto data = Cleaner::jpegData(quadrants(301, 157), 0.92);
    ASSERT_TRUE(data);
    const auto back = Cleaner::imageFromJpeg(*data);
    ASSERT_TRUE(back);
    EXPECT_EQ(sizeOf(*back), (Size{301, 157}));
    EXPECT_TRUE(near(rgbAt(*back, 10, 10), red, 8));
    EXPECT_FALSE(Cleaner::jpegData(Bitmap(), 0.9));

    EXPECT_EQ(Cleaner::imageType(*data), ImageType::jpeg);
    EXPECT_EQ(Cleaner::imageType(encoded(cv::Mat(2, 2, CV_8UC3), ".png")), ImageType::png);
    EXPECT_EQ(Cleaner::imageType(encoded(cv::Mat(2, 2, CV_8UC3), ".tiff")), ImageType::tiff);
    const Bytes mif1 = {0, 0, 0, 24, 'f', 't', 'y', 'p', 'm', 'i', 'f', '1',
                        0, 0, 0, 0,  'm', 'i', 'f', '1', 'm', 'i', 'a', 'f'};
    EXPECT_EQ(Cleaner::imageType(mif1), ImageType::heif);
    EXPECT_EQ(Cleaner::imageType(Bytes{'G', 'I', 'F', '8', '9', 'a'}), std::nullopt);
    EXPECT_EQ(Cleaner::imageTypeForExtension("JPG"), ImageType::jpeg);
    EXPECT_EQ(Cleaner::imageTypeForExtension("tif"), ImageType::tiff);
    EXPECT_EQ(Cleaner::imageTypeForExtension("txt"), std::nullopt);
    EXPECT_EQ(Cleaner::fileExtension(std::nullopt), "jpg");
}

TEST(ImageIO, DecodingAndDatingRunOnManyThreadsAtOnce) {
    ScopedIcuDefaults utc("UTC");
    const Bytes jpeg = withDate(withOrientation(jpegBytes(quadrants(96, 64)), 6), "2022:07:01 09:30:00");
    const Bytes png = encoded(cv::Mat(40, 30, CV_8UC4, cv::Scalar(10, 20, 30, 128)), ".png");
    const Bytes broken(jpeg.begin(), jpeg.begin() + jpeg.size() / 3);
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 20; ++i) {
                const auto image =
                    Cleaner::decode(t % 2 ? jpeg : png, t % 3 ? std::optional<double>(50) : std::nullopt);
                if (!image || Cleaner::decode(broken) ||
                    Cleaner::photoDate(jpeg) != Date::fromUnixSeconds(1656667800)) {
                    ++wrong;
                }
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(wrong, 0);
}
