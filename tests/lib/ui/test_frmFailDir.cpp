#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <cstdlib>

#include "TestSupport.h"
#include "lib/FileChoice.h"
#include "lib/ui/QtDialogs.h"
#include "lib/ui/frmFailDir.h"

// Readable failures for QString comparisons.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

class FileChooser : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        folder = tmp.path();
        for (const char* name : {"a.txt", "B.txt", "plate1.txt", "Plate2.TXT", "plate3.gif",
                                 "xplate.txt", "notes.doc", "README", ".hidden.txt"})
            writeFile(path(name), "x");
        writeFile(path("Sub/inner.txt"), "x");
        QDir(folder).mkdir("alpha");
        savedCurrent = QDir::currentPath();
        QDir::setCurrent(folder);
    }
    void TearDown() override { QDir::setCurrent(savedCurrent); }

    std::string path(const std::string& name) const { return folder.toStdString() + "/" + name; }

    template <class T>
    static T* child(QWidget& dialog, const char* name) {
        T* found = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    static void key(QWidget* target, int keyCode) {
        QKeyEvent press(QEvent::KeyPress, keyCode, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, keyCode, Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    }

    QTemporaryDir tmp;
    QString folder;
    QString savedCurrent;
};

TEST_F(FileChooser, FirstOpeningShowsTheCurrentFolderWithAllFiles) {
    testSession().fileChoice().ChoiceConfirmed = 1;
    frmFailDir dialog(testSession().fileChoice());
    EXPECT_EQ(dialog.windowTitle(), QString("Файловая система"));
    EXPECT_EQ(testSession().fileChoice().ChoiceConfirmed, 0);
    EXPECT_EQ(dialog.folder(), folder);
    EXPECT_EQ(child<QLabel>(dialog, "lblFolder")->text(), folder);
    EXPECT_EQ(dialog.folderEntries(), (QStringList{"..", "alpha", "Sub"}));
    EXPECT_EQ(dialog.fileNames(),
              (QStringList{"a.txt", "B.txt", "notes.doc", "plate1.txt", "Plate2.TXT", "plate3.gif",
                           "README", "xplate.txt"}));
    EXPECT_EQ(child<QLabel>(dialog, "Label1")->text(), "+ *.*");
    EXPECT_TRUE(child<QRadioButton>(dialog, "optVbor0")->isChecked());
    EXPECT_EQ(child<QRadioButton>(dialog, "optVbor4")->text(), "gif");
    EXPECT_FALSE(child<QRadioButton>(dialog, "optVbor1")->icon().isNull());
    EXPECT_EQ(child<QRadioButton>(dialog, "optVbor1")->toolTip(), "*.wav");
    EXPECT_FALSE(child<QToolButton>(dialog, "cmdOk")->icon().isNull());
    EXPECT_EQ(child<QToolButton>(dialog, "cmdClose")->toolTip(), QString("Закрыть окно"));
}

TEST_F(FileChooser, ConfirmGivesFolderAndFileAndTheNextOpeningStartsThere) {
    {
        frmFailDir dialog(testSession().fileChoice());
        ASSERT_TRUE(dialog.enterFolder("Sub"));
        ASSERT_TRUE(dialog.selectFile("inner.txt"));
        dialog.cmdOk_Click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(testSession().fileChoice().ChosenFolder, path("Sub"));
    EXPECT_EQ(testSession().fileChoice().ChosenFile, "inner.txt");
    EXPECT_EQ(testSession().fileChoice().ChoiceConfirmed, 1);

    QDir::setCurrent(savedCurrent);
    frmFailDir again(testSession().fileChoice());
    EXPECT_EQ(testSession().fileChoice().ChoiceConfirmed, 0);
    EXPECT_EQ(again.folder().toStdString(), path("Sub"));
    EXPECT_EQ(again.fileNames(), QStringList{"inner.txt"});
}

TEST_F(FileChooser, ConfirmWithoutSelectionGivesAnEmptyFileAndTheRootKeepsItsSeparator) {
    testSession().fileChoice().ChosenFile = "old.txt";
    frmFailDir dialog(testSession().fileChoice());
    dialog.cmdOk_Click();
    EXPECT_EQ(testSession().fileChoice().ChosenFolder, folder.toStdString());
    EXPECT_EQ(testSession().fileChoice().ChosenFile, "");
    EXPECT_EQ(testSession().fileChoice().ChoiceConfirmed, 1);

    frmFailDir atRoot(testSession().fileChoice());
    ASSERT_TRUE(atRoot.setFolder("/"));
    EXPECT_FALSE(atRoot.folderEntries().contains(".."));
    EXPECT_FALSE(atRoot.enterFolder(".."));
    atRoot.cmdOk_Click();
    EXPECT_EQ(testSession().fileChoice().ChosenFolder, "/");
}

// A window's own choice: opened where it was left, answered into it alone.
TEST_F(FileChooser, WorksOnTheChoiceItIsGiven) {
    FileChoice own{path("Sub"), "", 1};
    frmFailDir dialog(own);
    EXPECT_EQ(own.ChoiceConfirmed, 0);
    EXPECT_EQ(dialog.folder().toStdString(), path("Sub"));
    ASSERT_TRUE(dialog.selectFile("inner.txt"));
    dialog.cmdOk_Click();
    EXPECT_EQ(own.ChosenFile, "inner.txt");
    EXPECT_EQ(own.ChoiceConfirmed, 1);
    EXPECT_EQ(testSession().fileChoice().ChosenFolder, "") << "the shared choice is left alone";
}

TEST_F(FileChooser, CloseAfterAConfirmationKeepsTheChoiceButIsNotConfirmed) {
    {
        frmFailDir dialog(testSession().fileChoice());
        dialog.selectFile("a.txt");
        dialog.cmdOk_Click();
    }
    const FileChoice confirmed = testSession().fileChoice();
    {
        frmFailDir dialog(testSession().fileChoice());
        dialog.enterFolder("alpha");
        dialog.selectFile("B.txt");
        dialog.cmdClose_Click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_EQ(testSession().fileChoice().ChoiceConfirmed, 0);
    EXPECT_EQ(testSession().fileChoice().ChosenFolder, confirmed.ChosenFolder);
    EXPECT_EQ(testSession().fileChoice().ChosenFile, "a.txt");

    frmFailDir closeBox(testSession().fileChoice());
    closeBox.show();
    closeBox.close();
    EXPECT_EQ(closeBox.result(), QDialog::Rejected);
    EXPECT_EQ(testSession().fileChoice().ChoiceConfirmed, 0);
    EXPECT_EQ(testSession().fileChoice().ChosenFile, "a.txt");
}

TEST_F(FileChooser, PrefixWithTypeTxtListsOnlyMatchingFilesAndKeepsTheLabel) {
    frmFailDir dialog(testSession().fileChoice());
    dialog.show();
    dialog.optVbor_Click(7);
    auto* mask = child<QLineEdit>(dialog, "txtMaska");
    mask->setText("plate");
    mask->setFocus();
    key(mask, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible()) << "Enter in the prefix box must not confirm";
    EXPECT_EQ(testSession().fileChoice().ChoiceConfirmed, 0);
    EXPECT_EQ(dialog.pattern(), "plate*.txt");
    EXPECT_EQ(dialog.fileNames(), (QStringList{"plate1.txt", "Plate2.TXT"}));
    EXPECT_EQ(child<QLabel>(dialog, "Label1")->text(), "+ *.txt");

    // The prefix stays in the folder it was typed for...
    ASSERT_TRUE(dialog.enterFolder("Sub"));
    EXPECT_TRUE(dialog.fileNames().isEmpty());
    ASSERT_TRUE(dialog.enterFolder(".."));
    // ...and a type option filters by the type alone.
    child<QRadioButton>(dialog, "optVbor4")->click();
    EXPECT_EQ(dialog.fileNames(), QStringList{"plate3.gif"});
    EXPECT_EQ(child<QLabel>(dialog, "Label1")->text(), "+ *.gif");
    EXPECT_EQ(mask->text(), "plate");
    dialog.cmdClose_Click();
}

TEST_F(FileChooser, TheListFollowsTheNameBoxAndATypedOrPastedPathOpensItsFolder) {
    frmFailDir dialog(testSession().fileChoice());
    dialog.show();
    auto* mask = child<QLineEdit>(dialog, "txtMaska");
    mask->setFocus();
    for (const QChar c : QStringLiteral("pl")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(mask, &press);
    }
    EXPECT_EQ(dialog.fileNames(), (QStringList{"plate1.txt", "Plate2.TXT", "plate3.gif"}));
    key(mask, Qt::Key_Backspace);
    key(mask, Qt::Key_Backspace);
    EXPECT_EQ(dialog.fileNames().size(), 8) << "cleared without Enter: the whole folder";

    mask->insert(QString::fromStdString(path("Sub")) + "/in");  // pasted
    EXPECT_EQ(dialog.folder().toStdString(), path("Sub"));
    EXPECT_EQ(mask->text(), "in");
    EXPECT_EQ(dialog.fileNames(), QStringList{"inner.txt"});
    mask->clear();
    mask->insert("../");  // typed, relative to the folder shown
    EXPECT_EQ(dialog.folder(), folder);
    EXPECT_EQ(mask->text(), "");

    mask->insert(QString::fromStdString(path("Sub/inner.txt")));
    EXPECT_EQ(dialog.folder().toStdString(), path("Sub"));
    EXPECT_EQ(mask->text(), "inner.txt");
    EXPECT_EQ(dialog.fileNames(), QStringList{"inner.txt"});
    dialog.cmdOk_Click();
    EXPECT_EQ(testSession().fileChoice().ChosenFile, "inner.txt") << "a pasted file is chosen";
}

TEST_F(FileChooser, TheCarriedOverTypeIsShownAndFiltersOnTheNextOpening) {
    {
        frmFailDir dialog(testSession().fileChoice());
        dialog.optVbor_Click(7);
        dialog.cmdClose_Click();
    }
    frmFailDir dialog(testSession().fileChoice());
    EXPECT_TRUE(child<QRadioButton>(dialog, "optVbor7")->isChecked());
    EXPECT_FALSE(child<QRadioButton>(dialog, "optVbor0")->isChecked());
    EXPECT_EQ(child<QLabel>(dialog, "Label1")->text(), "+ *.txt");
    EXPECT_EQ(dialog.pattern(), "*.txt");
    EXPECT_EQ(dialog.fileNames(),
              (QStringList{"a.txt", "B.txt", "plate1.txt", "Plate2.TXT", "xplate.txt"}));
    EXPECT_EQ(child<QLineEdit>(dialog, "txtMaska")->text(), "");
}

TEST_F(FileChooser, ARememberedFolderThatIsGoneIsIgnored) {
    testSession().fileChoice().ChosenFolder = path("gone");
    testSession().fileChoice().ChosenFile = "a.txt";
    frmFailDir dialog(testSession().fileChoice());
    EXPECT_EQ(dialog.folder(), folder);
    EXPECT_EQ(testSession().fileChoice().ChosenFolder, path("gone"))
        << "only a confirmation changes it";
    EXPECT_FALSE(dialog.setFolder(QString::fromStdString(path("gone"))));
    EXPECT_FALSE(dialog.setFolder(QString::fromStdString(path("README"))));
    EXPECT_FALSE(dialog.enterFolder("nothing"));
    EXPECT_EQ(dialog.folder(), folder);
    EXPECT_EQ(dialog.fileNames().size(), 8);
}

TEST_F(FileChooser, KeyboardAndDoubleClickMoveAndConfirm) {
    frmFailDir dialog(testSession().fileChoice());
    dialog.show();
    auto* dirs = child<QListWidget>(dialog, "dirList");
    dirs->setFocus();
    dirs->setCurrentRow(dialog.folderEntries().indexOf("Sub"));
    key(dirs, Qt::Key_Return);
    EXPECT_EQ(dialog.folder().toStdString(), path("Sub"));
    EXPECT_TRUE(dialog.isVisible());
    key(dirs, Qt::Key_Backspace);
    EXPECT_EQ(dialog.folder(), folder);
    EXPECT_EQ(dirs->currentItem()->text(), "Sub") << "going up keeps the place";

    auto* files = child<QListWidget>(dialog, "failList");
    QListWidgetItem* item = files->findItems("notes.doc", Qt::MatchExactly).value(0);
    ASSERT_NE(item, nullptr);
    const QPoint at = files->visualItemRect(item).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, files->viewport()->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(files->viewport(), &press);
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, files->viewport()->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(files->viewport(), &twice);
    EXPECT_EQ(testSession().fileChoice().ChoiceConfirmed, 1);
    EXPECT_EQ(testSession().fileChoice().ChosenFile, "notes.doc");
    EXPECT_EQ(testSession().fileChoice().ChosenFolder, folder.toStdString());
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(FileChooser, TheDriveListHoldsTheRootAndMovesThere) {
    frmFailDir dialog(testSession().fileChoice());
    ASSERT_TRUE(dialog.selectDrive("/"));
    EXPECT_EQ(dialog.folder(), "/");
    EXPECT_FALSE(dialog.selectDrive("/no/such/drive"));
}

TEST_F(FileChooser, TheQtDialogsShowItModallyAndReportTheChoice) {
    QTimer::singleShot(0, [] {
        frmFailDir* dialog = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<frmFailDir*>(top); found && found->isVisible())
                dialog = found;
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->isModal());
        dialog->selectFile("README");
        dialog->findChild<QToolButton*>("cmdOk")->click();
    });
    QtDialogs().chooseFile(testSession().fileChoice());
    EXPECT_EQ(testSession().fileChoice().ChoiceConfirmed, 1);
    EXPECT_EQ(testSession().fileChoice().ChosenFile, "README");
    EXPECT_EQ(testSession().fileChoice().ChosenFolder, folder.toStdString());
}

TEST_F(FileChooser, Screenshot) {
    const std::string deep = path("Заказы/Вывески 2024/Магазин на углу Садовой улицы");
    for (const char* name : {"вывеска.txt", "Plate-A.txt", "plate-b.txt", "logo.gif"})
        writeFile(deep + "/" + name, "x");
    QDir().mkpath(QString::fromStdString(deep + "/Эскизы"));
    testSession().fileChoice().ChosenFolder = deep;
    frmFailDir dialog(testSession().fileChoice());
    dialog.optVbor_Click(7);
    dialog.selectFile("plate-b.txt");
    dialog.show();
    QApplication::processEvents();
    const QImage shot(QString::fromStdString(saveScreenshot(&dialog, "frmFailDir")));

    // The picture lists the folder's files: each row of the file list holds
    // its name's letters, and the folder list its sub-folder.
    ASSERT_EQ(dialog.fileNames(), (QStringList{"Plate-A.txt", "plate-b.txt", "вывеска.txt"}));
    ASSERT_FALSE(shot.isNull());
    const double ratio = shot.width() / double(dialog.width());
    const auto inkIn = [&](QListWidget* list, const QString& name) {
        const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
        if (found.isEmpty()) return -1;
        // Past the icon, as wide as the name: letters there differ from the
        // row's background, which the row's far end shows.
        const QRect row = list->visualItemRect(found.first())
                              .translated(list->viewport()->mapTo(&dialog, QPoint(0, 0)));
        const QRect text(row.left() + 20, row.top(),
                         list->fontMetrics().horizontalAdvance(name) + 10, row.height());
        const QRect inPicture(text.topLeft() * ratio, text.size() * ratio);
        const QPoint far = QPoint(row.right() - 3, row.center().y()) * ratio;
        if (!shot.valid(far)) return -1;
        const int background = qGray(shot.pixel(far));
        int ink = 0;
        for (int y = inPicture.top(); y <= inPicture.bottom(); ++y)
            for (int x = inPicture.left(); x <= inPicture.right(); ++x)
                ink += shot.valid(x, y) && std::abs(qGray(shot.pixel(x, y)) - background) > 90;
        return ink;
    };
    auto* files = child<QListWidget>(dialog, "failList");
    for (const QString& name : dialog.fileNames())
        EXPECT_GE(inkIn(files, name), 40) << name.toStdString();
    EXPECT_GE(inkIn(child<QListWidget>(dialog, "dirList"), QStringLiteral("Эскизы")), 40);
    dialog.cmdClose_Click();
}

}  // namespace
