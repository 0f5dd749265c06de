#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QToolButton>

#include "TestSupport.h"
#include "app/MachiningSettings.h"
#include "app/ui/frmParam.h"

namespace {

std::string selected(const QComboBox* list) {
    return list->currentIndex() < 0 ? "<none>" : list->currentText().toStdString();
}

TEST(frmParam, OpensWithTheListsAndTheSettingsInUseSelected) {
    machiningSettings() = MachiningSettings{5.0, 15.0, "500.00", 0};
    frmParam dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Параметры"));
    ASSERT_EQ(dialog.cboBezop->count(), 21);
    ASSERT_EQ(dialog.cboBezopS->count(), 21);
    ASSERT_EQ(dialog.cboSkorF->count(), 20);
    EXPECT_EQ(dialog.cboBezop->itemText(20), QStringLiteral("20"));
    EXPECT_EQ(dialog.cboSkorF->itemText(0), QStringLiteral("50.00"));
    EXPECT_EQ(dialog.cboSkorF->itemText(19), QStringLiteral("1000.00"));
    EXPECT_EQ(selected(dialog.cboBezop), "5");
    EXPECT_EQ(selected(dialog.cboBezopS), "15");
    EXPECT_EQ(selected(dialog.cboSkorF), "500.00");
    EXPECT_FALSE(dialog.chk->isChecked());
    for (const char* name : {"cboBezop", "cboBezopS", "cboSkorF", "chk", "cmdSave", "cmdClose"})
        EXPECT_NE(dialog.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    dialog.show();
    saveScreenshot(&dialog, "frmParam");
}

TEST(frmParam, ValuesOffTheListsSelectNothingAndSaveEmptyText) {
    machiningSettings() = MachiningSettings{5.5, 0.0, "500", 1};
    frmParam dialog;
    EXPECT_EQ(selected(dialog.cboBezop), "<none>");
    EXPECT_EQ(selected(dialog.cboBezopS), "0");
    EXPECT_EQ(selected(dialog.cboSkorF), "<none>") << "the feed compares as text";
    EXPECT_TRUE(dialog.chk->isChecked());

    dialog.cmdSave_Click();
    EXPECT_EQ(testSettings().values,
              (std::map<std::string, std::string>{
                  {"ZBezop", ""}, {"ZBezopS", "0"}, {"SkorF", ""}, {"NoRazriv", "1"}}));
    EXPECT_EQ(machiningSettings().ZBezop, 5.5) << "saving alone changes nothing in use";

    dialog.cmdClose_Click();
    EXPECT_EQ(testDialogs().calls.size(), 2u) << "notices for the two empty values";
    EXPECT_EQ(machiningSettings().ZBezop, 5.0);
    EXPECT_EQ(testSettings().values["ZBezop"], "5");
}

TEST(frmParam, SaveThenCloseButtonPutsTheChoicesInUseTheCloseBoxDoesNot) {
    machiningSettings() = MachiningSettings{5.0, 15.0, "500.00", 0};
    {
        frmParam dialog;
        dialog.cboBezop->setCurrentText(QStringLiteral("3"));
        dialog.cboSkorF->setCurrentText(QStringLiteral("750.00"));
        dialog.chk->setChecked(true);
        dialog.show();
        dialog.close();  // the window's close box
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_TRUE(testSettings().values.empty());
    EXPECT_EQ(machiningSettings().ZBezop, 5.0);

    frmParam dialog;
    dialog.cboBezop->setCurrentText(QStringLiteral("3"));
    dialog.cboBezopS->setCurrentText(QStringLiteral("20"));
    dialog.cboSkorF->setCurrentText(QStringLiteral("750.00"));
    dialog.chk->setChecked(true);
    dialog.cmdSave->click();
    dialog.cmdClose->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(testDialogs().calls.empty());
    const MachiningSettings& s = machiningSettings();
    EXPECT_EQ(s.ZBezop, 3.0);
    EXPECT_EQ(s.ZBezopS, 20.0);
    EXPECT_EQ(s.SkorF, "750.00");
    EXPECT_EQ(s.NoRazriv, 1);
}

TEST(frmParam, BreaksInsideLettersAreStoredOnceChosenAndReadBack) {
    machiningSettings() = MachiningSettings{};
    machiningSettings().RazrivVBukve = 1;
    frmParam dialog;
    EXPECT_EQ(dialog.chkRazrivVBukve->text(), QStringLiteral("Разрыв внутри буквы"));
    EXPECT_TRUE(dialog.chkRazrivVBukve->isChecked());
    dialog.cmdSave_Click();
    EXPECT_EQ(testSettings().values["RazrivVBukve"], "1");
    dialog.chkRazrivVBukve->setChecked(false);
    dialog.cmdSave_Click();
    EXPECT_EQ(testSettings().values["RazrivVBukve"], "0") << "a stored choice is replaced";
    dialog.cmdClose_Click();
    EXPECT_EQ(machiningSettings().RazrivVBukve, 0);
    EXPECT_TRUE(testDialogs().calls.empty());

    // Not a flag: the notice and the default, like the other settings.
    testSettings().values["RazrivVBukve"] = "yes";
    LoadSettings();
    EXPECT_EQ(testDialogs().calls.size(), 1u);
    EXPECT_EQ(testSettings().values["RazrivVBukve"], "0");
}

}  // namespace
