#include "inspection/ResultPictures.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RecordingDialogs.h"

#include <QColor>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

const RunPictureNames kRun1{"2024-05-01 13-45-10", "[Vorn]2024-05-01 13-45-08"};
const RunPictureNames kRun2{"2024-05-01 13-50-00", "[Vorn]2024-05-01 13-49-59"};

void WriteFile(const QString& path, const QByteArray& bytes = "not a picture") {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// Every folder below `root`, relative and sorted.
QStringList FoldersUnder(const QString& root) {
    QStringList folders;
    QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        folders << it.next().mid(root.size() + 1);
    }
    folders.sort();
    return folders;
}

// The leaves and every folder above them, sorted like FoldersUnder.
QStringList WithParents(const QStringList& leaves) {
    QStringList folders;
    for (const QString& leaf : leaves) {
        const QStringList parts = leaf.split(QLatin1Char('/'));
        for (qsizetype n = 1; n <= parts.size(); ++n) {
            folders << parts.mid(0, n).join(QLatin1Char('/'));
        }
    }
    folders.removeDuplicates();
    folders.sort();
    return folders;
}

// A JPEG file whose pixels are (near) the solid colour that was grabbed.
::testing::AssertionResult IsJpegOf(const QString& path, const QColor& colour) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return ::testing::AssertionFailure() << "no file " << path.toStdString();
    }
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("\xFF\xD8")) {
        return ::testing::AssertionFailure() << path.toStdString() << " is not a JPEG";
    }
    const QImage image = QImage::fromData(bytes, "JPG");
    if (image.size() != QSize(640, 480)) {
        return ::testing::AssertionFailure() << path.toStdString() << " does not decode to 640x480";
    }
    for (const QPoint at : {QPoint(0, 0), QPoint(320, 240), QPoint(639, 479)}) {
        const QColor found = image.pixelColor(at);
        if (std::abs(found.red() - colour.red()) > 8 ||
            std::abs(found.green() - colour.green()) > 8 ||
            std::abs(found.blue() - colour.blue()) > 8) {
            return ::testing::AssertionFailure()
                   << path.toStdString() << " shows " << found.name().toStdString() << ", not "
                   << colour.name().toStdString();
        }
    }
    return ::testing::AssertionSuccess();
}

// A station with its result root, network folder and temp folder in a fresh temporary folder;
// the panes show one solid colour each, which a test changes to tell captures apart.
class ResultPicturesTest : public ::testing::Test {
  protected:
    ResultPicturesTest() {
        config.FolderName_Result = root;
        config.FolderName_Network = network;
    }

    QString path(const QString& relative) const { return dir.path() + QLatin1Char('/') + relative; }
    QString networkName(const RunPictureNames& run, const char* suffix) const {
        return network + QLatin1Char('/') + run.runStamp + QLatin1Char('_') + run.barcode +
               QLatin1String(suffix);
    }
    QString datedName(const char* folder, const RunPictureNames& run, const char* suffix) const {
        return root + QLatin1Char('/') + QLatin1String(folder) + QLatin1Char('/') + run.runStamp +
               QLatin1Char('_') + run.barcode + QLatin1String(suffix);
    }
    QString tempName(const RunPictureNames& run, const char* suffix) const {
        return temp + QLatin1Char('/') + run.runStamp + QLatin1Char('_') + run.barcode +
               QLatin1String(suffix);
    }
    // Makes the network folder impossible to create: its parent does not exist.
    void loseNetworkFolder() { config.FolderName_Network = path("gone/network"); }

    QTemporaryDir dir;
    const QString root = path("result");
    const QString network = path("network");
    const QString temp = path("Temp");
    StationConfig config;
    QDate day{2024, 5, 1};
    QColor top = Qt::red;
    QColor bottom = Qt::blue;
    CResultPictures pictures{config, [this] { return day; },
                             [this](int sensor) {
                                 if (sensor != 0 && sensor != 1) {
                                     return QImage();
                                 }
                                 QImage pane(640, 480, QImage::Format_RGB32);
                                 pane.fill(sensor == 0 ? top : bottom);
                                 return pane;
                             },
                             temp};
};

struct FolderCase {
    const char* name;
    int mode;
    int ai2OkSaveOption;
    QStringList leaves;  // below the result root; empty: not even the root is created
};

TEST_F(ResultPicturesTest, CreateResultFoldersMakesTheTreesOfEachModeAndOption) {
    const std::vector<FolderCase> cases = {
        {"initialisation, PASS pictures kept",
         1,
         0,
         {"PASS/Image/2024/05/01", "NG/Image/2024/05/01", "NG/AI2/2024/05/01",
          "PASS/AI2/2024/05/01", "NG/Wave/2024/05/01", "PASS/Wave/2024/05/01"}},
        {"initialisation, AI pictures of passes kept apart",
         1,
         1,
         {"NG/Image/2024/05/01", "NG/AI2/2024/05/01", "PASS/AI2/2024/05/01", "NG/Wave/2024/05/01",
          "PASS/Wave/2024/05/01"}},
        {"missing day folder, PASS pictures kept",
         3,
         0,
         {"PASS/Image/2024/05/01", "NG/Image/2024/05/01"}},
        {"missing day folder, AI pictures of passes kept apart", 3, 1, {"NG/Image/2024/05/01"}},
        {"another mode", 2, 0, {}},
        {"no mode", 0, 0, {}},
    };
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(root).removeRecursively();
        config.AI2_OK_Save_Option = c.ai2OkSaveOption;
        pictures.CreateResultFolders(c.mode);
        EXPECT_EQ(QFileInfo(root).isDir(), !c.leaves.isEmpty());
        EXPECT_EQ(FoldersUnder(root), WithParents(c.leaves));
    }
}

TEST_F(ResultPicturesTest, ALevelThatCannotBeCreatedSkipsTheRestOfItsTreeOnly) {
    config.AI2_OK_Save_Option = 0;
    ASSERT_TRUE(QDir().mkpath(root + "/PASS/Image"));
    ASSERT_TRUE(QDir().mkpath(root + "/NG"));
    WriteFile(root + "/PASS/Image/2024");  // the year level of the first tree
    WriteFile(root + "/NG/AI2");           // the kind level of the third tree

    pictures.CreateResultFolders(1);

    EXPECT_EQ(FoldersUnder(root),
              WithParents({"PASS/Image", "NG/Image/2024/05/01", "PASS/AI2/2024/05/01",
                           "NG/Wave/2024/05/01", "PASS/Wave/2024/05/01"}));
    EXPECT_TRUE(QFileInfo(root + "/NG/AI2").isFile());
}

TEST_F(ResultPicturesTest, AResultRootBelowAMissingFolderCreatesNothing) {
    config.FolderName_Result = path("missing/result");
    pictures.CreateResultFolders(1);
    EXPECT_FALSE(QFileInfo::exists(path("missing")));
}

TEST_F(ResultPicturesTest, TempFolderIsCreatedOrReportedOnce) {
    struct Case {
        const char* name;
        bool fileInTheWay;
    };
    for (const Case& c : {Case{"missing folder", false}, Case{"a file in the way", true}}) {
        SCOPED_TRACE(c.name);
        QFile::remove(temp);
        QDir(temp).removeRecursively();
        if (c.fileInTheWay) {
            WriteFile(temp);
        }
        RecordingDialogs dialogs;

        EXPECT_EQ(pictures.CreateTempFolder(), !c.fileInTheWay);
        EXPECT_EQ(QFileInfo(temp).isDir(), !c.fileInTheWay);
        if (c.fileInTheWay) {
            ASSERT_EQ(dialogs.messages().size(), 1u);
            EXPECT_EQ(dialogs.messages()[0].caption, "[ERROR-Folder]");
            EXPECT_EQ(dialogs.messages()[0].text, QString::fromUtf8("Temp 폴더"));
        } else {
            EXPECT_TRUE(dialogs.recorded().empty());
            EXPECT_TRUE(pictures.CreateTempFolder());  // present now: still no message
            EXPECT_TRUE(dialogs.recorded().empty());
        }
    }
}

TEST_F(ResultPicturesTest, CapturePictureReplacesTheFileAndWritesNothingForAnotherPane) {
    const QString file = path("capture.jpg");
    WriteFile(file);
    pictures.CapturePicture(file, 1);
    EXPECT_TRUE(IsJpegOf(file, bottom));

    pictures.CapturePicture(path("none.jpg"), 2);
    EXPECT_FALSE(QFileInfo::exists(path("none.jpg")));
}

TEST_F(ResultPicturesTest, PassPicturesGoOnlyToTheNetworkFolderWhenAiPassesAreKeptApart) {
    config.AI2_OK_Save_Option = 1;
    ASSERT_FALSE(QFileInfo::exists(network));

    pictures.SavePassPictures(0, kRun1);
    pictures.SavePassPictures(1, kRun1);

    EXPECT_EQ(pictures.TopPicturePath(), networkName(kRun1, "_TOP.jpg"));
    EXPECT_EQ(pictures.BottomPicturePath(), networkName(kRun1, "_BOTTOM.jpg"));
    EXPECT_TRUE(IsJpegOf(pictures.TopPicturePath(), top));
    EXPECT_TRUE(IsJpegOf(pictures.BottomPicturePath(), bottom));
    EXPECT_TRUE(pictures.TopImagePath().isEmpty());
    EXPECT_TRUE(pictures.BottomImagePath().isEmpty());
    EXPECT_TRUE(pictures.TempTopPath().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(root));
}

TEST_F(ResultPicturesTest, PassPicturesAreCopiedToTheirDatedPaths) {
    config.AI2_OK_Save_Option = 0;
    const QString datedTop = datedName("PASS/Image/2024/05/01", kRun1, "_TOP.jpg");
    // A stale file of the same name must give way to this run's picture.
    ASSERT_TRUE(QDir().mkpath(QFileInfo(datedTop).path()));
    WriteFile(datedTop);

    pictures.SavePassPictures(0, kRun1);
    pictures.SavePassPictures(1, kRun1);

    EXPECT_EQ(pictures.TopImagePath(), datedTop);
    EXPECT_EQ(pictures.BottomImagePath(), datedName("PASS/Image/2024/05/01", kRun1, "_BOTTOM.jpg"));
    EXPECT_EQ(pictures.TempTopPath(), tempName(kRun1, "_TOP.jpg"));
    EXPECT_EQ(pictures.TempBottomPath(), tempName(kRun1, "_BOTTOM.jpg"));
    EXPECT_TRUE(IsJpegOf(pictures.TopImagePath(), top));
    EXPECT_TRUE(IsJpegOf(pictures.BottomImagePath(), bottom));
    EXPECT_TRUE(IsJpegOf(pictures.TopPicturePath(), top));
    EXPECT_TRUE(IsJpegOf(pictures.BottomPicturePath(), bottom));
}

TEST_F(ResultPicturesTest, ARunStartClearsOnlyTheImagePaths) {
    config.AI2_OK_Save_Option = 0;
    pictures.SavePassPictures(0, kRun1);
    pictures.SavePassPictures(1, kRun1);

    pictures.ClearRunImagePaths();

    EXPECT_TRUE(pictures.TopImagePath().isEmpty());
    EXPECT_TRUE(pictures.BottomImagePath().isEmpty());
    EXPECT_EQ(pictures.TopPicturePath(), networkName(kRun1, "_TOP.jpg"));
    EXPECT_EQ(pictures.BottomPicturePath(), networkName(kRun1, "_BOTTOM.jpg"));
    EXPECT_EQ(pictures.TempTopPath(), tempName(kRun1, "_TOP.jpg"));
    EXPECT_EQ(pictures.TempBottomPath(), tempName(kRun1, "_BOTTOM.jpg"));
}

// A run that saved its PASS pictures (option 0) ends; the screen shows another colour by then.
TEST_F(ResultPicturesTest, TheRunEndWritesTheNgPictureOnlyForALatchedTopInModeOne) {
    struct Case {
        const char* name;
        bool latched;
        int inspectionMode;
        bool ngPicture;
    };
    const std::vector<Case> cases = {
        {"NG", true, 1, true},
        {"latched, another inspection mode", true, 0, false},
        {"not latched", false, 1, false},
    };
    ASSERT_TRUE(pictures.CreateTempFolder());
    config.AI2_OK_Save_Option = 0;
    const QString ngTop = datedName("NG/Image/2024/05/01", kRun1, "_TOP_NG.jpg");
    const QString passTop = datedName("PASS/Image/2024/05/01", kRun1, "_TOP.jpg");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(ngTop);
        top = Qt::red;
        pictures.ClearRunImagePaths();
        pictures.SavePassPictures(0, kRun1);
        WriteFile(pictures.TempTopPath());
        top = Qt::green;

        pictures.SaveNgPictures(c.latched, c.inspectionMode, kRun1);

        EXPECT_EQ(QFileInfo::exists(tempName(kRun1, "_TOP.jpg")), !c.latched);
        EXPECT_EQ(pictures.TopPicturePath(), networkName(kRun1, "_TOP.jpg"));
        EXPECT_TRUE(IsJpegOf(pictures.TopPicturePath(), c.ngPicture ? top : QColor(Qt::red)));
        if (c.ngPicture) {
            EXPECT_EQ(pictures.TopImagePath(), ngTop);
            EXPECT_EQ(pictures.TempTopPath(), tempName(kRun1, "_TOP_NG.jpg"));
            EXPECT_TRUE(IsJpegOf(ngTop, top));
        } else {
            EXPECT_EQ(pictures.TopImagePath(), passTop);
            EXPECT_FALSE(QFileInfo::exists(ngTop));
        }
    }
}

TEST_F(ResultPicturesTest, WithoutANetworkFolderPassSavesNothingAndNgIsCapturedToItsDatedPath) {
    config.AI2_OK_Save_Option = 0;
    loseNetworkFolder();
    LogCapture log;

    pictures.SavePassPictures(0, kRun1);
    pictures.SavePassPictures(1, kRun1);
    EXPECT_TRUE(pictures.TopPicturePath().isEmpty());
    EXPECT_TRUE(pictures.BottomPicturePath().isEmpty());
    EXPECT_TRUE(pictures.TopImagePath().isEmpty());
    EXPECT_TRUE(pictures.BottomImagePath().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(root));

    pictures.SaveNgPictures(true, 1, kRun1);
    EXPECT_TRUE(log.contains(QString::fromUtf8("[NG Viewer 폴더 : NG]") + path("gone/network")))
        << log.lines().join('\n').toStdString();
    EXPECT_TRUE(pictures.TopPicturePath().isEmpty());
    EXPECT_EQ(pictures.TopImagePath(), datedName("NG/Image/2024/05/01", kRun1, "_TOP_NG.jpg"));
    EXPECT_TRUE(IsJpegOf(pictures.TopImagePath(), top));
}

TEST_F(ResultPicturesTest, TheFirstPictureOfANewDayCreatesThatDaysFolders) {
    config.AI2_OK_Save_Option = 0;
    day = QDate(2024, 5, 31);
    pictures.CreateResultFolders(1);
    pictures.SavePassPictures(0, kRun1);
    EXPECT_EQ(FoldersUnder(root + "/PASS/Image"), WithParents({"2024/05/31"}));

    day = QDate(2024, 6, 1);
    pictures.ClearRunImagePaths();
    pictures.SavePassPictures(0, kRun2);

    EXPECT_EQ(FoldersUnder(root + "/PASS/Image"), WithParents({"2024/05/31", "2024/06/01"}));
    EXPECT_EQ(FoldersUnder(root + "/NG/Image"), WithParents({"2024/05/31", "2024/06/01"}));
    EXPECT_EQ(FoldersUnder(root + "/NG/Wave"), WithParents({"2024/05/31"}));
    EXPECT_EQ(pictures.TopImagePath(), datedName("PASS/Image/2024/06/01", kRun2, "_TOP.jpg"));
    EXPECT_TRUE(IsJpegOf(pictures.TopImagePath(), top));

    day = QDate(2024, 6, 2);
    pictures.SaveNgPictures(true, 1, kRun2);
    EXPECT_EQ(pictures.TopImagePath(), datedName("NG/Image/2024/06/02", kRun2, "_TOP_NG.jpg"));
    EXPECT_TRUE(IsJpegOf(pictures.TopImagePath(), top));
}

TEST_F(ResultPicturesTest, ARunWithoutSavesGetsItsOwnTopPicture) {
    pictures.SavePassPictures(0, kRun1);
    pictures.EnsureRunTopPicture(kRun1);
    const QString firstRun = pictures.TopPicturePath();

    pictures.ClearRunImagePaths();
    top = Qt::yellow;
    pictures.EnsureRunTopPicture(kRun2);

    EXPECT_EQ(pictures.TopPicturePath(), networkName(kRun2, "_TOP.jpg"));
    EXPECT_TRUE(IsJpegOf(pictures.TopPicturePath(), Qt::yellow));
    EXPECT_TRUE(IsJpegOf(firstRun, Qt::red));
}

TEST_F(ResultPicturesTest, APictureCapturedInTheRunIsKept) {
    struct Case {
        const char* name;
        bool passSave;
        bool ngSave;
    };
    for (const Case& c : {Case{"PASS picture", true, false}, Case{"NG picture", false, true},
                          Case{"both", true, true}}) {
        SCOPED_TRACE(c.name);
        top = Qt::red;
        pictures.ClearRunImagePaths();
        if (c.passSave) {
            pictures.SavePassPictures(0, kRun1);
        }
        if (c.ngSave) {
            pictures.SaveNgPictures(true, 1, kRun1);
        }
        top = Qt::yellow;

        pictures.EnsureRunTopPicture(kRun1);

        EXPECT_EQ(pictures.TopPicturePath(), networkName(kRun1, "_TOP.jpg"));
        EXPECT_TRUE(IsJpegOf(pictures.TopPicturePath(), Qt::red));
    }
}

TEST_F(ResultPicturesTest, WithoutANetworkFolderTheRunTopPictureGoesToTheTempFolder) {
    ASSERT_TRUE(pictures.CreateTempFolder());
    loseNetworkFolder();

    pictures.EnsureRunTopPicture(kRun1);

    EXPECT_EQ(pictures.TopPicturePath(), tempName(kRun1, "_TOP.jpg"));
    EXPECT_TRUE(IsJpegOf(pictures.TopPicturePath(), top));
}

}  // namespace
