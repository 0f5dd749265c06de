#include "main/ui/frmParam.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "lib/Dialogs.h"
#include "lib/MachiningSettings.h"
#include "lib/NumberText.h"
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

// A height list offers the whole millimetres and takes a typed decimal (0,5).
QComboBox* heightList(QWidget* parent, const char* name) {
    QComboBox* list = choiceList(parent, name);
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    return list;
}

QGroupBox* group(const QString& title, QLayout* content, QWidget* parent = nullptr) {
    auto* box = new QGroupBox(title, parent);
    box->setLayout(content);
    return box;
}

QString label(const ProfileField& field) { return QString::fromUtf8(field.label); }

const ProfileField& fieldNamed(const char* key) {
    for (const ProfileField& f : ProfileFields())
        if (std::string_view(f.key) == key) return f;
    return ProfileFields().front();
}

}  // namespace

frmParam::frmParam(MachiningSettings& inUse, QWidget* parent) : QDialog(parent), inUse_(inUse) {
    setObjectName(QStringLiteral("frmParam"));
    setWindowTitle(QStringLiteral("Параметры"));
    setModal(true);
    buildControls();
    Form_Load();
}

void frmParam::buildControls() {
    // Built in the order of the tab chain.
    cboProfil = choiceList(this, "cboProfil");
    cboProfil->setMinimumContentsLength(16);
    cboProfil->setToolTip(QStringLiteral("Вид G-code для своего станка"));
    cmdCopyProfile = new QPushButton(QStringLiteral("Копировать…"), this);
    cmdCopyProfile->setObjectName(QStringLiteral("cmdCopyProfile"));
    cmdCopyProfile->setToolTip(QStringLiteral("Сохранить показанные значения как свой профиль"));
    cmdDeleteProfile = new QPushButton(QStringLiteral("Удалить"), this);
    cmdDeleteProfile->setObjectName(QStringLiteral("cmdDeleteProfile"));
    lblProfil = new QLabel(this);
    lblProfil->setObjectName(QStringLiteral("lblProfil"));
    lblProfil->setWordWrap(true);
    connect(cboProfil, &QComboBox::currentIndexChanged, this, [this] { cboProfil_Change(); });
    connect(cmdCopyProfile, &QPushButton::clicked, this, [this] { cmdCopyProfile_Click(); });
    connect(cmdDeleteProfile, &QPushButton::clicked, this, [this] { cmdDeleteProfile_Click(); });

    auto* choice = new QGridLayout;
    choice->addWidget(cboProfil, 0, 0);
    choice->addWidget(cmdCopyProfile, 0, 1);
    choice->addWidget(cmdDeleteProfile, 0, 2);
    choice->addWidget(lblProfil, 1, 0, 1, 3);
    choice->setColumnStretch(0, 1);
    // In the window before the tabs, so that it comes first in the tab chain.
    QGroupBox* choiceBox = group(QStringLiteral("Профиль G-code"), choice, this);

    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    tabs->addTab(buildSettingsTab(), QStringLiteral("Высоты и подача"));
    tabs->addTab(buildProfileTab(), QStringLiteral("Профиль: значения"));
    tabs->addTab(buildPartsTab(), QStringLiteral("Профиль: части программы"));

    cmdSave =
        pictureButton(this, "cmdSave", QStyle::SP_DialogSaveButton, QStringLiteral("Сохранить"));
    cmdClose = pictureButton(this, "cmdClose", QStyle::SP_DialogCloseButton,
                             QStringLiteral("Закрыть окно"));
    connect(cmdSave, &QToolButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdClose, &QToolButton::clicked, this, [this] { cmdClose_Click(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdClose);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(choiceBox);
    outer->addWidget(tabs, 1);
    outer->addLayout(buttons);
}

QWidget* frmParam::buildSettingsTab() {
    auto* page = new QWidget;
    cboBezop = heightList(page, "cboBezop");
    cboBezopS = heightList(page, "cboBezopS");
    cboSkorF = choiceList(page, "cboSkorF");

    const char* captions[3] = {"Z при переходе между знаками", "Линейная скорость перемещения (F)",
                               "Z при переходе между строками"};
    for (int i = 0; i < 3; ++i) {
        Metka1[i] = new QLabel(QString::fromUtf8(captions[i]), page);
        Metka1[i]->setObjectName(QStringLiteral("Метка1_%1").arg(i));
    }
    Metka2 = new QLabel(QStringLiteral("мм."), page);
    Metka2->setObjectName(QStringLiteral("Метка2"));
    Metka3 = new QLabel(QStringLiteral("мм."), page);
    Metka3->setObjectName(QStringLiteral("Метка3"));

    chk = new QCheckBox(QStringLiteral("Неразрывная строка"), page);
    chk->setObjectName(QStringLiteral("chk"));
    chk->setToolTip(QStringLiteral("VEzor формируется без разрывов между всеми знаками в строке"));

    chkRazrivVBukve = new QCheckBox(QStringLiteral("Разрыв внутри буквы"), page);
    chkRazrivVBukve->setObjectName(QStringLiteral("chkRazrivVBukve"));
    chkRazrivVBukve->setToolTip(
        QStringLiteral("Перо поднимается между частями буквы там, где шрифт отмечает разрыв "
                       "(точка над i, точки ё, кратка й)"));

    auto* heights = new QGridLayout;
    heights->addWidget(Metka1[0], 0, 0);
    heights->addWidget(cboBezop, 0, 1);
    heights->addWidget(Metka2, 0, 2);
    heights->addWidget(Metka1[2], 1, 0);
    heights->addWidget(cboBezopS, 1, 1);
    heights->addWidget(Metka3, 1, 2);
    heights->addWidget(Metka1[1], 2, 0);
    heights->addWidget(cboSkorF, 2, 1);
    auto* lifts = new QVBoxLayout;
    lifts->addWidget(chk);
    lifts->addWidget(chkRazrivVBukve);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group(QStringLiteral("Безопасные высоты и подача"), heights));
    layout->addWidget(group(QStringLiteral("Подъёмы пера"), lifts));
    layout->addStretch(1);
    return page;
}

QWidget* frmParam::profileControl(const ProfileField& field) {
    QWidget* control = nullptr;
    if (field.kind == ProfileFieldKind::Flag) {
        control = new QCheckBox(label(field));
    } else if (field.kind == ProfileFieldKind::Lines) {
        auto* box = new QPlainTextEdit;
        box->setTabChangesFocus(true);
        box->setLineWrapMode(QPlainTextEdit::NoWrap);
        box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        box->setFixedHeight(box->fontMetrics().lineSpacing() * 3 + 12);
        control = box;
    } else {
        auto* line = new QLineEdit;
        if (field.kind == ProfileFieldKind::OneLine)
            line->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        else
            line->setFixedWidth(line->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 9);
        control = line;
    }
    control->setObjectName(QStringLiteral("txt_") + QString::fromLatin1(field.key));
    profileControls[field.key] = control;
    return control;
}

QWidget* frmParam::buildProfileTab() {
    auto* page = new QWidget;
    auto* file = new QFormLayout;
    auto* tool = new QFormLayout;
    auto* rotary = new QFormLayout;
    for (const ProfileField& f : ProfileFields()) {
        QFormLayout* form = f.group == ProfileFieldGroup::File     ? file
                            : f.group == ProfileFieldGroup::Tool   ? tool
                            : f.group == ProfileFieldGroup::Rotary ? rotary
                                                                   : nullptr;
        if (!form) continue;
        if (f.kind == ProfileFieldKind::Flag)
            form->addRow(profileControl(f));
        else
            form->addRow(label(f), profileControl(f));
        if (std::string_view(f.key) == "depth_step") {
            auto* note = new QLabel(QStringLiteral(
                "Глубина — итоговая: проходы идут вниз на шаг, последний кончается ровно на "
                "ней (глубина −0,3, 2 прохода, шаг 0,15: −0,15 и −0,3)."));
            note->setObjectName(QStringLiteral("lblDepthNote"));
            note->setWordWrap(true);
            form->addRow(note);
        }
    }

    // The machine's values only time the program; they change nothing in it.
    auto* machine = new QGridLayout;
    const char* axes[] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i)
        machine->addWidget(new QLabel(QString::fromLatin1(axes[i])), 0, i + 1, Qt::AlignHCenter);
    machine->addWidget(new QLabel(QStringLiteral("Скорость, мм/мин")), 1, 0);
    machine->addWidget(new QLabel(QStringLiteral("Ускорение, мм/с²")), 2, 0);
    const char* rates[] = {"rate_x", "rate_y", "rate_z"};
    const char* accels[] = {"accel_x", "accel_y", "accel_z"};
    for (int i = 0; i < 3; ++i) machine->addWidget(profileControl(fieldNamed(rates[i])), 1, i + 1);
    for (int i = 0; i < 3; ++i) machine->addWidget(profileControl(fieldNamed(accels[i])), 2, i + 1);
    const ProfileField& junction = fieldNamed("junction_deviation");
    machine->addWidget(new QLabel(label(junction)), 3, 0);
    machine->addWidget(profileControl(junction), 3, 1);
    auto* note = new QLabel(QStringLiteral("Для оценки времени; по умолчанию — значения GRBL."));
    note->setWordWrap(true);
    machine->addWidget(note, 4, 0, 1, 4);
    machine->setRowStretch(5, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(group(QStringLiteral("Файл и глубина"), file));
    left->addWidget(group(QStringLiteral("Шпиндель, лазер, перо"), tool));
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(group(QStringLiteral("Станок"), machine));
    // Y written as degrees: a ring or a cylinder turned under the tool.
    right->addWidget(group(QStringLiteral("Поворотная ось"), rotary));
    right->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);
    return page;
}

QWidget* frmParam::buildPartsTab() {
    auto* page = new QWidget;
    auto* hint = new QLabel(QStringLiteral(
        "В фигурных скобках подставляются: {X} {Y} точка, {Z} глубина прохода, {LIFT} высота "
        "подъёма, {SAFE} высота начала и конца, {F} подача, {P} подача врезания, {S} {U} "
        "значения S, {D} пауза, {UNITS} G21 или G20."));
    hint->setWordWrap(true);
    auto* parts = new QFormLayout;
    for (const ProfileField& f : ProfileFields())
        if (f.group == ProfileFieldGroup::Parts) parts->addRow(label(f), profileControl(f));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(hint);
    layout->addWidget(group(QStringLiteral("Части программы"), parts));
    layout->addStretch(1);
    return page;
}

void frmParam::Form_Load() {
    const MachiningSettings& s = inUse_;

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
    // A combo box selects its first entry by itself; a value off the list
    // selects none and stands in the box as it is (0,5).
    cboBezop->setCurrentIndex(bezop);
    cboBezopS->setCurrentIndex(bezopS);
    if (bezop < 0) cboBezop->setEditText(toQ(HeightText(s.ZBezop)));
    if (bezopS < 0) cboBezopS->setEditText(toQ(HeightText(s.ZBezopS)));

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

    // A stored profile that no longer reads is named once; the default stands in.
    std::vector<std::string> notes;
    std::vector<std::string> chosenNotes;
    const std::string chosen = ChosenProfile(&chosenNotes).name;
    profiles_ = AvailableProfiles(&notes);
    if (!chosenNotes.empty()) notes.push_back(chosenNotes.back());
    for (const std::string& note : notes) dialogs().message(note, fromQ(windowTitle()));
    refillProfiles(chosen);
}

void frmParam::refillProfiles(const std::string& select) {
    profiles_ = AvailableProfiles();
    filling_ = true;
    cboProfil->clear();
    int index = 0;
    for (std::size_t i = 0; i < profiles_.size(); ++i) {
        cboProfil->addItem(toQ(profiles_[i].name));
        if (profiles_[i].name == select) index = static_cast<int>(i);
    }
    cboProfil->setCurrentIndex(index);
    filling_ = false;
    showProfile(index);
}

void frmParam::showProfile(int index) {
    shown_ = index;
    const GCodeProfile& profile = profiles_[static_cast<std::size_t>(index)];
    const bool shipped = IsShippedProfile(profile.name);
    const ProfileValues values = ValuesOfProfile(profile, numtext::decimalSeparator());
    for (const auto& [key, control] : profileControls) {
        const auto value = values.find(key);
        const QString text = value == values.end() ? QString() : toQ(value->second);
        if (auto* line = qobject_cast<QLineEdit*>(control)) {
            line->setText(text);
            line->setReadOnly(shipped);
        } else if (auto* box = qobject_cast<QPlainTextEdit*>(control)) {
            box->setPlainText(text);
            box->setReadOnly(shipped);
        } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
            check->setChecked(text == QStringLiteral("1"));
            check->setEnabled(!shipped);
        }
    }
    cmdDeleteProfile->setEnabled(!shipped);
    lblProfil->setText(shipped ? QStringLiteral("Поставляемый профиль только для чтения: чтобы "
                                                "изменить, скопируйте его под своим именем.")
                               : QStringLiteral("Свой профиль: изменения сохраняет кнопка "
                                                "«Сохранить»."));
}

ProfileValues frmParam::shownValues() const {
    ProfileValues values;
    for (const auto& [key, control] : profileControls) {
        if (auto* line = qobject_cast<QLineEdit*>(control))
            values[key] = fromQ(line->text());
        else if (auto* box = qobject_cast<QPlainTextEdit*>(control))
            values[key] = fromQ(box->toPlainText());
        else if (auto* check = qobject_cast<QCheckBox*>(control))
            // A string, not a literal: assigning the literal is taken by g++ 12 at -O3 for
            // an overlapping copy (-Wrestrict).
            values[key] = std::string(check->isChecked() ? "1" : "0");
    }
    return values;
}

bool frmParam::readShownProfile(GCodeProfile& profile) {
    try {
        profile = ProfileWithValues(profiles_[static_cast<std::size_t>(shown_)], shownValues());
        return true;
    } catch (const ProfileValueError& e) {
        dialogs().message(e.message(), fromQ(windowTitle()));
        const auto control = profileControls.find(e.key);
        if (control != profileControls.end()) {
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->widget(i)->isAncestorOf(control->second)) tabs->setCurrentIndex(i);
            control->second->setFocus();
        }
        return false;
    }
}

bool frmParam::shownProfileEdited() const {
    if (shown_ < 0) return false;
    const GCodeProfile& profile = profiles_[static_cast<std::size_t>(shown_)];
    return !IsShippedProfile(profile.name) &&
           shownValues() != ValuesOfProfile(profile, numtext::decimalSeparator());
}

bool frmParam::unsavedProfileHandled() {
    if (!shownProfileEdited()) return true;
    const std::string name = profiles_[static_cast<std::size_t>(shown_)].name;
    // Esc steps back to the edits instead of throwing them away.
    switch (dialogs().questionOrCancel(
        cp("Профиль «") + name + cp("» изменён. Сохранить изменения?"), fromQ(windowTitle()))) {
        case Dialogs::Answer::Yes:
            break;
        case Dialogs::Answer::No:
            return true;
        case Dialogs::Answer::Cancel:
            return false;
    }
    GCodeProfile edited;
    if (!readShownProfile(edited)) return false;
    try {
        StoreUserProfile(edited);
    } catch (const ProfileError& e) {
        dialogs().message(e.message(), fromQ(windowTitle()));
        return false;
    }
    profiles_[static_cast<std::size_t>(shown_)] = edited;
    return true;
}

void frmParam::cboProfil_Change() {
    if (filling_) return;
    const int next = cboProfil->currentIndex();
    if (next < 0 || next == shown_) return;
    if (!unsavedProfileHandled()) {  // the edits stay on screen to be mended
        filling_ = true;
        cboProfil->setCurrentIndex(shown_);
        filling_ = false;
        return;
    }
    showProfile(next);
}

void frmParam::cmdCopyProfile_Click() {
    GCodeProfile copy;
    if (shown_ < 0 || !readShownProfile(copy)) return;
    const std::string answer =
        dialogs().input(cp("Имя нового профиля (копии профиля «") + copy.name + cp("»)"),
                        fromQ(windowTitle()), cp("Мой ") + copy.name);
    if (answer.empty()) return;  // Cancel
    try {
        copy.name = NewProfileName(answer, profiles_);
        StoreUserProfile(copy);
    } catch (const ProfileError& e) {
        dialogs().message(e.message(), fromQ(windowTitle()));
        return;
    }
    refillProfiles(copy.name);
}

void frmParam::cmdDeleteProfile_Click() {
    if (shown_ < 0) return;
    const std::string name = profiles_[static_cast<std::size_t>(shown_)].name;
    if (IsShippedProfile(name)) return;
    if (!dialogs().question(cp("Удалить профиль «") + name + cp("»?"), fromQ(windowTitle()),
                            Dialogs::Answer::No))
        return;
    RemoveUserProfile(name);
    refillProfiles(DefaultProfile().name);
}

void frmParam::cmdSave_Click() {
    // Everything is read before anything is written: a refused value stores nothing.
    const std::pair<QComboBox*, QLabel*> heightLists[] = {{cboBezop, Metka1[0]},
                                                          {cboBezopS, Metka1[2]}};
    std::string heights[2];
    for (int i = 0; i < 2; ++i) {
        const auto [list, caption] = heightLists[i];
        const auto text = StoredHeightText(fromQ(list->currentText()));
        if (!text) {
            dialogs().message(fromQ(caption->text()) + cp(": нужно число от 0 до 1000 (мм)"),
                              fromQ(windowTitle()));
            tabs->setCurrentIndex(0);
            list->setFocus();
            return;
        }
        heights[i] = *text;
    }
    GCodeProfile profile = profiles_[static_cast<std::size_t>(shown_)];
    const bool own = !IsShippedProfile(profile.name);
    if (own && !readShownProfile(profile)) return;
    if (own) {
        try {
            StoreUserProfile(profile);
        } catch (const ProfileError& e) {
            dialogs().message(e.message(), fromQ(windowTitle()));
            return;
        }
        profiles_[static_cast<std::size_t>(shown_)] = profile;
    }

    WriteSetting("ZBezop", heights[0]);
    WriteSetting("ZBezopS", heights[1]);
    WriteSetting("SkorF", selectedText(cboSkorF));
    WriteSetting("NoRazriv", chk->isChecked() ? "1" : "0");
    // A missing key means the profile's own choice, so a box that shows that
    // choice leaves a store without it as it is.
    if (chkRazrivVBukve->isChecked() != (BreaksInLettersByDefault(profile) == 1) ||
        !ReadSetting("RazrivVBukve").empty())
        WriteSetting("RazrivVBukve", chkRazrivVBukve->isChecked() ? "1" : "0");
    // Likewise no choice stored means the default profile; a stored name that
    // no longer reads is replaced.
    const std::string chosen = ReadSetting("Profil");
    if (chosen.empty() ? profile.name != DefaultProfile().name : chosen != profile.name)
        ChooseProfile(profile.name);
}

void frmParam::cmdClose_Click() {
    if (!unsavedProfileHandled()) return;
    inUse_ = SettingsForProfile(LoadSettings(), ChosenProfile());
    accept();
}
