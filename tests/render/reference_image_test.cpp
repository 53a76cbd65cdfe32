// The picture of the sample drawing at the start-up view, as the screenshot mode renders it,
// against a reference picture taken before the view learned to draw less for distant or hidden
// objects: the drawing must look the same. At most 1 % of the pixels may differ, and only by
// more than a small colour tolerance, so that a coarser distant object or a driver's rounding
// passes while a missing object, a wrong colour or a shifted view does not.
#include "app/window/screenshot.h"
#include "tests/window/window_test_support.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

#include <cstdlib>

namespace hk::test {
namespace {

constexpr int cColourTolerance = 24;
constexpr double cDifferingShare = 0.01;

bool Differs(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) > cColourTolerance ||
           std::abs(qGreen(a) - qGreen(b)) > cColourTolerance ||
           std::abs(qBlue(a) - qBlue(b)) > cColourTolerance;
}

class ReferenceImageTest : public QtTest {
protected:
    ~ReferenceImageTest() override { KeepOpenGLDriverLoaded(); }
    ProgramFolder folder;
};

TEST_F(ReferenceImageTest, TheSampleAtStartUpLooksAsItsReferencePicture) {
    for (const char* name : {"box.csv", "hkviewer.csv", "script1.txt", "pump.3ds"}) {
        ASSERT_TRUE(QFile::copy(QDir(HK_TEST_DATA_DIR).filePath(name), folder.FilePath(name)))
            << name;
    }
    const QString shot = folder.FilePath("shot.png");
    ASSERT_EQ(RunScreenshot({"--screenshot", shot}, folder.Dir()), 0);
    const QImage image = QImage(shot).convertToFormat(QImage::Format_RGB32);
    const QImage reference =
        QImage(HK_RENDER_REFERENCE_DIR "/sample_startup.png").convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(reference.isNull());
    ASSERT_EQ(image.size(), reference.size());
    long differing = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            differing += Differs(image.pixel(x, y), reference.pixel(x, y));
        }
    }
    const double share = double(differing) / (double(image.width()) * image.height());
    const QString kept = QDir::temp().filePath("hk_sample_startup_actual.png");
    EXPECT_LE(share, cDifferingShare)
        << "the picture, kept as " << kept.toStdString() << ", differs from the reference in "
        << differing << " pixels";
    if (share > cDifferingShare) {
        image.save(kept);
    }
}

} // namespace
} // namespace hk::test
