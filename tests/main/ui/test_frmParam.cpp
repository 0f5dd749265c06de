#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>

#include "TestSupport.h"
#include "gcode/GCodeProfile.h"
#include "lib/MachiningSettings.h"
#include "lib/Win1251.h"
#include "main/ui/frmParam.h"

namespace {

std::string selected(const QComboBox* list) {
    return list->currentIndex() < 0 ? "<none>" : list->currentText().toStdString();
}

TEST(frmParam, OpensWithTheListsAndTheSettingsInUseSelected) {
    testSession().machiningSettings() = MachiningSettings{5.0, 15.0, "500.00", 0};
    frmParam dialog(testSession().machiningSettings());
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
    testSession().machiningSettings() = MachiningSettings{5.5, 0.0, "500", 1};
    frmParam dialog(testSession().machiningSettings());
    EXPECT_EQ(selected(dialog.cboBezop), "<none>");
    EXPECT_EQ(dialog.cboBezop->currentText(), QStringLiteral("5.5")) << "a decimal height stays";
    EXPECT_EQ(selected(dialog.cboBezopS), "0");
    EXPECT_EQ(selected(dialog.cboSkorF), "<none>") << "the feed compares as text";
    EXPECT_TRUE(dialog.chk->isChecked());

    dialog.cmdSave_Click();
    EXPECT_EQ(testSettings().values,
              (std::map<std::string, std::string>{
                  {"ZBezop", "5.5"}, {"ZBezopS", "0"}, {"SkorF", ""}, {"NoRazriv", "1"}}));
    EXPECT_EQ(testSession().machiningSettings().ZBezopS, 0.0);
    testSession().machiningSettings().ZBezopS = 1;
    dialog.cmdSave_Click();
    EXPECT_EQ(testSession().machiningSettings().ZBezopS, 1.0)
        << "saving alone changes nothing in use";

    dialog.cmdClose_Click();
    EXPECT_EQ(testDialogs().calls.size(), 1u) << "the notice for the empty feed";
    EXPECT_EQ(testSession().machiningSettings().ZBezop, 5.5);
    EXPECT_EQ(testSettings().values["SkorF"], "500.00");
}

TEST(frmParam, SaveThenCloseButtonPutsTheChoicesInUseTheCloseBoxDoesNot) {
    testSession().machiningSettings() = MachiningSettings{5.0, 15.0, "500.00", 0};
    {
        frmParam dialog(testSession().machiningSettings());
        dialog.cboBezop->setCurrentText(QStringLiteral("3"));
        dialog.cboSkorF->setCurrentText(QStringLiteral("750.00"));
        dialog.chk->setChecked(true);
        dialog.show();
        dialog.close();  // the window's close box
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_TRUE(testSettings().values.empty());
    EXPECT_EQ(testSession().machiningSettings().ZBezop, 5.0);

    frmParam dialog(testSession().machiningSettings());
    dialog.cboBezop->setCurrentText(QStringLiteral("3"));
    dialog.cboBezopS->setCurrentText(QStringLiteral("20"));
    dialog.cboSkorF->setCurrentText(QStringLiteral("750.00"));
    dialog.chk->setChecked(true);
    dialog.cmdSave->click();
    dialog.cmdClose->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(testDialogs().calls.empty());
    const MachiningSettings& s = testSession().machiningSettings();
    EXPECT_EQ(s.ZBezop, 3.0);
    EXPECT_EQ(s.ZBezopS, 20.0);
    EXPECT_EQ(s.SkorF, "750.00");
    EXPECT_EQ(s.NoRazriv, 1);
}

TEST(frmParam, BreaksInsideLettersAreStoredOnceChosenAndReadBack) {
    testSession().machiningSettings() = MachiningSettings{};
    testSession().machiningSettings().RazrivVBukve = 1;
    frmParam dialog(testSession().machiningSettings());
    EXPECT_EQ(dialog.chkRazrivVBukve->text(), QStringLiteral("Разрыв внутри буквы"));
    EXPECT_TRUE(dialog.chkRazrivVBukve->isChecked());
    dialog.cmdSave_Click();
    EXPECT_EQ(testSettings().values["RazrivVBukve"], "1");
    dialog.chkRazrivVBukve->setChecked(false);
    dialog.cmdSave_Click();
    EXPECT_EQ(testSettings().values["RazrivVBukve"], "0") << "a stored choice is replaced";
    dialog.cmdClose_Click();
    EXPECT_EQ(testSession().machiningSettings().RazrivVBukve, 0);
    EXPECT_TRUE(testDialogs().calls.empty());

    // Not a flag: the notice and the default, like the other settings.
    testSettings().values["RazrivVBukve"] = "yes";
    testSession().machiningSettings() = LoadSettings();
    EXPECT_EQ(testDialogs().calls.size(), 1u);
    EXPECT_EQ(testSettings().values["RazrivVBukve"], "0");

    // Not stored, breaks are on for every profile but VEzor: the box shows it,
    // saving keeps the store without the key, and turning it off is stored.
    testSettings().values.erase("RazrivVBukve");
    ChooseProfile("GRBL");
    testSession().machiningSettings() = SettingsForProfile(LoadSettings(), ChosenProfile());
    frmParam grbl(testSession().machiningSettings());
    EXPECT_TRUE(grbl.chkRazrivVBukve->isChecked());
    grbl.cmdSave_Click();
    EXPECT_FALSE(testSettings().values.contains("RazrivVBukve"));
    grbl.chkRazrivVBukve->setChecked(false);
    grbl.cmdSave_Click();
    EXPECT_EQ(testSettings().values["RazrivVBukve"], "0");
}

QLineEdit* field(frmParam& dialog, const char* key) {
    return qobject_cast<QLineEdit*>(dialog.profileControls.at(key));
}

// Shipped profiles are only copied; a copy is edited, refused while a value is
// bad (nothing stored), then stored and chosen with the settings.
TEST(frmParam, AProfileIsCopiedEditedCheckedAndChosen) {
    testSession().machiningSettings() = MachiningSettings{};
    frmParam dialog(testSession().machiningSettings());
    dialog.show();
    EXPECT_LE(dialog.height(), 700) << "fits a 1366x768 screen";
    EXPECT_LE(dialog.width(), 1300);
    EXPECT_EQ(dialog.cboProfil->currentText(), QStringLiteral("VEzor"));
    dialog.cboProfil->setCurrentText(QStringLiteral("GRBL"));
    EXPECT_EQ(field(dialog, "extension")->text(), QStringLiteral(".nc"));
    EXPECT_TRUE(field(dialog, "plunge_feed")->isReadOnly());
    EXPECT_FALSE(dialog.cmdDeleteProfile->isEnabled());

    testDialogs().inputAnswers = {"grbl"};
    dialog.cmdCopyProfile_Click();
    EXPECT_EQ(testDialogs().messagesUtf8(),
              std::vector<std::string>{"Профиль с именем «GRBL» уже есть: выберите другое имя"});
    EXPECT_TRUE(testSettings().values.empty());

    testDialogs().reset();
    testDialogs().inputAnswers = {w("Мой GRBL")};
    dialog.cmdCopyProfile_Click();
    EXPECT_EQ(dialog.cboProfil->currentText(), QStringLiteral("Мой GRBL"));
    EXPECT_FALSE(field(dialog, "plunge_feed")->isReadOnly());
    const std::string copied = testSettings().values["Profili"];
    EXPECT_NE(copied.find(w("name=Мой GRBL")), std::string::npos);

    dialog.cboBezop->setCurrentText(QStringLiteral("0.5"));
    field(dialog, "plunge_feed")->setText(QStringLiteral("быстро"));
    dialog.cmdSave_Click();
    ASSERT_EQ(testDialogs().messagesUtf8().size(), 1u);
    EXPECT_EQ(testDialogs().messagesUtf8()[0],
              "Профиль «Мой GRBL»: Подача врезания, мм/мин: нужно положительное число");
    EXPECT_EQ(testSettings().values.size(), 1u) << "neither the settings nor the choice";
    EXPECT_EQ(testSettings().values["Profili"], copied);
    EXPECT_EQ(dialog.tabs->currentIndex(), 1) << "the refused value is shown";
    const auto* depthNote = dialog.findChild<QLabel*>(QStringLiteral("lblDepthNote"));
    ASSERT_TRUE(depthNote);
    EXPECT_TRUE(depthNote->text().startsWith(QStringLiteral("Глубина — итоговая")));
    saveScreenshot(&dialog, "frmParam-profile");

    field(dialog, "plunge_feed")->setText(QStringLiteral("250"));
    field(dialog, "depth")->setText(QStringLiteral("-0.3"));
    dialog.cmdSave_Click();
    dialog.cmdClose_Click();
    EXPECT_EQ(testDialogs().messagesUtf8().size(), 1u) << "no notice";
    EXPECT_EQ(testSession().machiningSettings().ZBezop, 0.5);
    const GCodeProfile chosen = ChosenProfile();
    EXPECT_EQ(chosen.name, w("Мой GRBL"));
    EXPECT_EQ(chosen.plungeFeed, 250);
    EXPECT_EQ(chosen.depth, -0.3);
    EXPECT_EQ(chosen.start, FindProfile("GRBL").start);

    dialog.tabs->setCurrentIndex(2);
    saveScreenshot(&dialog, "frmParam-parts");

    // Edits left unsaved are asked about at the close button; a bad one keeps it open.
    frmParam again(testSession().machiningSettings());
    field(again, "dwell")->setText(QStringLiteral("-1"));
    testDialogs().threeWayAnswers = {Dialogs::Answer::Yes};
    again.cmdClose_Click();
    EXPECT_NE(again.result(), QDialog::Accepted);
    EXPECT_TRUE(testDialogs().messagesUtf8().back().ends_with("нужно число, не меньше 0"));

    // Esc at the question (Cancel) keeps the dialog and the edit; another
    // profile chosen meanwhile is not shown.
    field(again, "dwell")->setText(QStringLiteral("2"));
    const std::string stored = testSettings().values["Profili"];
    testDialogs().reset();
    again.cmdClose_Click();
    again.cboProfil->setCurrentText(QStringLiteral("GRBL"));
    ASSERT_EQ(testDialogs().calls.size(), 2u);
    EXPECT_EQ(testDialogs().calls[0].kind, "questionOrCancel");
    EXPECT_NE(again.result(), QDialog::Accepted);
    EXPECT_EQ(again.cboProfil->currentText(), QStringLiteral("Мой GRBL"));
    EXPECT_EQ(field(again, "dwell")->text(), QStringLiteral("2"));
    EXPECT_EQ(testSettings().values["Profili"], stored);
}

TEST(frmParam, AChosenProfileThatNoLongerReadsIsToldAndTheDefaultShown) {
    testSettings().values["Profili"] = "name=Old\nextension=.nc\nfeed=fast";
    testSettings().values["Profil"] = "Old";
    frmParam dialog(testSession().machiningSettings());
    const std::vector<std::string> messages = testDialogs().messagesUtf8();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].find("Профиль «Old»: неизвестное поле «feed»"), std::string::npos)
        << messages[0];
    EXPECT_EQ(messages[1], "Профиль «Old» не найден или не читается: используется профиль VEzor");
    EXPECT_EQ(dialog.cboProfil->currentText(), QStringLiteral("VEzor"));
    EXPECT_EQ(dialog.cboProfil->count(), static_cast<int>(ShippedProfiles().size()));
    dialog.cmdSave_Click();
    EXPECT_EQ(testSettings().values["Profil"], "VEzor") << "the broken choice is replaced";
}

}  // namespace
