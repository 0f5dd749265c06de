#include "app/ui/frmParam.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/MachiningSettings.h"
#include "lib/ui/QtText.h"

namespace {

QToolButton* pictureButton(QWidget* parent, const char* name, QStyle::StandardPixmap picture,
                           const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(parent->style()->standardIcon(picture));
    button->setIconSize(QSize(28, 28));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    return button;
}

QComboBox* choiceList(QWidget* parent, const char* name) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setEditable(false);
    list->setMinimumContentsLength(8);
    return list;
}

// The text of the selected entry; empty when none is selected.
std::string selectedText(const QComboBox* list) {
    return list->currentIndex() < 0 ? std::string() : fromQ(list->currentText());
}

}  // namespace

frmParam::frmParam(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmParam"));
    setWindowTitle(QStringLiteral("Параметры"));
    setModal(true);
    buildControls();
    Form_Load();
}

void frmParam::buildControls() {
    cboBezop = choiceList(this, "cboBezop");
    cboBezopS = choiceList(this, "cboBezopS");
    cboSkorF = choiceList(this, "cboSkorF");

    const char* captions[3] = {"Z при переходе между знаками", "Линейная скорость перемещения (F)",
                               "Z при переходе между строками"};
    for (int i = 0; i < 3; ++i) {
        Metka1[i] = new QLabel(QString::fromUtf8(captions[i]), this);
        Metka1[i]->setObjectName(QStringLiteral("Метка1_%1").arg(i));
    }
    Metka2 = new QLabel(QStringLiteral("мм."), this);
    Metka2->setObjectName(QStringLiteral("Метка2"));
    Metka3 = new QLabel(QStringLiteral("мм."), this);
    Metka3->setObjectName(QStringLiteral("Метка3"));

    chk = new QCheckBox(QStringLiteral("Неразрывная строка"), this);
    chk->setObjectName(QStringLiteral("chk"));
    chk->setToolTip(QStringLiteral("VEzor формируется без разрывов между всеми знаками в строке"));

    chkRazrivVBukve = new QCheckBox(QStringLiteral("Разрыв внутри буквы"), this);
    chkRazrivVBukve->setObjectName(QStringLiteral("chkRazrivVBukve"));
    chkRazrivVBukve->setToolTip(
        QStringLiteral("Перо поднимается между частями буквы там, где шрифт отмечает разрыв "
                       "(точка над i, точки ё, кратка й)"));

    cmdSave =
        pictureButton(this, "cmdSave", QStyle::SP_DialogSaveButton, QStringLiteral("Сохранить"));
    cmdClose = pictureButton(this, "cmdClose", QStyle::SP_DialogCloseButton,
                             QStringLiteral("Закрыть окно"));
    connect(cmdSave, &QToolButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdClose, &QToolButton::clicked, this, [this] { cmdClose_Click(); });

    auto* grid = new QGridLayout;
    grid->addWidget(Metka1[0], 0, 0);
    grid->addWidget(cboBezop, 0, 1);
    grid->addWidget(Metka2, 0, 2);
    grid->addWidget(Metka1[2], 1, 0);
    grid->addWidget(cboBezopS, 1, 1);
    grid->addWidget(Metka3, 1, 2);
    grid->addWidget(Metka1[1], 2, 0);
    grid->addWidget(cboSkorF, 2, 1);
    grid->addWidget(chk, 3, 0, 1, 3);
    grid->addWidget(chkRazrivVBukve, 4, 0, 1, 3);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdClose);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addLayout(buttons);
}

void frmParam::Form_Load() {
    const MachiningSettings& s = machiningSettings();

    cboBezop->clear();
    cboBezopS->clear();
    int bezop = -1;
    int bezopS = -1;
    for (int n = 0; n <= 20; ++n) {
        cboBezop->addItem(QString::number(n));
        cboBezopS->addItem(QString::number(n));
        if (s.ZBezop == n) bezop = n;
        if (s.ZBezopS == n) bezopS = n;
    }
    // A combo box selects its first entry by itself; a value off the list selects none.
    cboBezop->setCurrentIndex(bezop);
    cboBezopS->setCurrentIndex(bezopS);

    cboSkorF->clear();
    int feed = -1;
    for (int v = 50, count = 0; v <= 1000; v += 50, ++count) {
        const std::string text = std::to_string(v) + ".00";
        cboSkorF->addItem(QString::fromStdString(text));
        if (text == s.SkorF) feed = count;
    }
    cboSkorF->setCurrentIndex(feed);

    chk->setChecked(s.NoRazriv == 1);
    chkRazrivVBukve->setChecked(s.RazrivVBukve == 1);
}

void frmParam::cmdSave_Click() {
    WriteSetting("ZBezop", selectedText(cboBezop));
    WriteSetting("ZBezopS", selectedText(cboBezopS));
    WriteSetting("SkorF", selectedText(cboSkorF));
    WriteSetting("NoRazriv", chk->isChecked() ? "1" : "0");
    // A missing key reads as 0, so an unchecked box leaves a store without it as it is.
    if (chkRazrivVBukve->isChecked() || !ReadSetting("RazrivVBukve").empty())
        WriteSetting("RazrivVBukve", chkRazrivVBukve->isChecked() ? "1" : "0");
}

void frmParam::cmdClose_Click() {
    LoadSettings();
    accept();
}
