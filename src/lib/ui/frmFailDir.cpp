#include "lib/ui/frmFailDir.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "lib/FileChoice.h"
#include "lib/FileTypeFilter.h"
#include "lib/FolderListing.h"
#include "lib/TypedPath.h"
#include "lib/ui/QtText.h"

namespace {

namespace fl = folderlisting;

const QString kUp = QStringLiteral("..");

// A long path must not widen the dialog: the label takes the width it is given
// and shortens the path in the middle, where the least telling part sits.
class PathLabel final : public QLabel {
  public:
    explicit PathLabel(QWidget* parent) : QLabel(parent) {
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        setTextFormat(Qt::PlainText);
    }
    void setPath(const QString& path) {
        setText(path);
        setToolTip(path);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
    }
};

QToolButton* pictureButton(QWidget* parent, const char* name, QStyle::StandardPixmap picture,
                           const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(parent->style()->standardIcon(picture));
    button->setIconSize(QSize(24, 24));
    button->setMinimumSize(QSize(44, 34));
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

}  // namespace

frmFailDir::frmFailDir(FileChoice& choice, QWidget* parent) : QDialog(parent), choice_(choice) {
    setObjectName(QStringLiteral("frmFailDir"));
    setWindowTitle(QStringLiteral("Файловая система"));
    setModal(true);
    buildControls();
    Form_Load();
}

void frmFailDir::buildControls() {
    Drive = new QComboBox(this);
    Drive->setObjectName(QStringLiteral("Drive"));
    Drive->setToolTip(QStringLiteral("Диск"));

    lblFolder = new PathLabel(this);
    lblFolder->setObjectName(QStringLiteral("lblFolder"));

    dirList = new QListWidget(this);
    dirList->setObjectName(QStringLiteral("dirList"));
    dirList->setToolTip(QStringLiteral("Двойной щелчок или Enter открывает папку"));

    failList = new QListWidget(this);
    failList->setObjectName(QStringLiteral("failList"));
    failList->setToolTip(QStringLiteral("Двойной щелчок или Enter выбирает файл"));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("+ *.wav ")));

    txtMaska = new QLineEdit(this);
    txtMaska->setObjectName(QStringLiteral("txtMaska"));
    txtMaska->setToolTip(
        QStringLiteral("Начало имени файла; путь к папке (например, /home или ../) открывает её"));

    const std::array<QStyle::StandardPixmap, 3> pictures = {
        QStyle::SP_MediaVolume, QStyle::SP_MediaPlay, QStyle::SP_DriveNetIcon};
    for (int i = 0; i < filetype::kCount; ++i) {
        auto* option = new QRadioButton(QString::fromStdString(filetype::optionText(i)), this);
        option->setObjectName(QStringLiteral("optVbor%1").arg(i));
        option->setToolTip(QString::fromStdString(filetype::pattern(i)));
        if (i >= 1 && i <= 3) option->setIcon(style()->standardIcon(pictures[i - 1]));
        optVbor[static_cast<std::size_t>(i)] = option;
        connect(option, &QRadioButton::clicked, this, [this, i] { optVbor_Click(i); });
    }

    cmdOk = pictureButton(this, "cmdOk", QStyle::SP_DialogApplyButton, QStringLiteral("OK"));
    cmdClose = pictureButton(this, "cmdClose", QStyle::SP_DialogCloseButton,
                             QStringLiteral("Закрыть окно"));

    auto* driveRow = new QHBoxLayout;
    driveRow->addWidget(new QLabel(QStringLiteral("Диск:"), this));
    driveRow->addWidget(Drive, 1);

    auto* lists = new QGridLayout;
    lists->addLayout(driveRow, 0, 0);
    lists->addWidget(lblFolder, 1, 0);
    lists->addWidget(new QLabel(QStringLiteral("Файлы:"), this), 1, 1);
    lists->addWidget(dirList, 2, 0);
    lists->addWidget(failList, 2, 1);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(1, 1);
    lists->setRowStretch(2, 1);

    auto* optionRow = new QHBoxLayout;
    optionRow->addWidget(new QLabel(QStringLiteral("Тип:"), this));
    for (QRadioButton* option : optVbor) optionRow->addWidget(option);
    optionRow->addStretch(1);

    auto* bottomRow = new QHBoxLayout;
    // Reads as what filters: the prefix, then "+ *.txt".
    auto* prefixCaption = new QLabel(QStringLiteral("Начало имени:"), this);
    prefixCaption->setBuddy(txtMaska);
    bottomRow->addWidget(prefixCaption);
    bottomRow->addWidget(txtMaska, 1);
    bottomRow->addWidget(Label1);
    bottomRow->addSpacing(16);
    bottomRow->addWidget(cmdOk);
    bottomRow->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(optionRow);
    layout->addLayout(bottomRow);

    setTabOrder(Drive, dirList);
    setTabOrder(dirList, failList);
    setTabOrder(failList, optVbor[0]);
    setTabOrder(optVbor[0], txtMaska);
    setTabOrder(txtMaska, cmdOk);
    setTabOrder(cmdOk, cmdClose);
    resize(640, 440);

    connect(Drive, &QComboBox::activated, this, [this] { Drive_Change(); });
    connect(dirList, &QListWidget::itemActivated, this, &frmFailDir::dirList_DblClick);
    connect(failList, &QListWidget::itemActivated, this, &frmFailDir::failList_DblClick);
    connect(txtMaska, &QLineEdit::returnPressed, this, &frmFailDir::txtMaska_Enter);
    connect(txtMaska, &QLineEdit::textChanged, this, &frmFailDir::txtMaska_Change);
    connect(cmdOk, &QToolButton::clicked, this, &frmFailDir::cmdOk_Click);
    connect(cmdClose, &QToolButton::clicked, this, &frmFailDir::cmdClose_Click);
    dirList->installEventFilter(this);
}

void frmFailDir::Form_Load() {
    choice_.ChoiceConfirmed = 0;

    drives_ = fl::driveRoots();
    {
        const QSignalBlocker quiet(Drive);
        for (const std::string& root : drives_) Drive->addItem(pathToQ(root));
    }

    // The type carried over from the last showing is the one the options and
    // the label show, so that what is shown is what filters. The pattern is set
    // before the lists move so that the folder is listed once.
    int& type = choice_.FileType;
    if (!filetype::isValid(type)) type = 0;
    optVbor[static_cast<std::size_t>(type)]->setChecked(true);
    Label1->setText(QString::fromStdString(filetype::label(type)));
    txtMaska_Enter();

    const std::string& remembered = choice_.ChosenFolder;
    if (remembered.empty() || !setFolder(pathToQ(remembered))) {
        if (!setFolder(QDir::currentPath())) setFolder(QStringLiteral("/"));
    }
}

bool frmFailDir::setFolder(const QString& folder) {
    const std::string target = fl::normalFolder(pathFromQ(folder));
    if (!fl::canEnter(target)) return false;
    std::string cameFrom;
    if (fl::parentFolder(folder_) == target) cameFrom = folder_.substr(folder_.rfind('/') + 1);
    folder_ = target;
    showDriveOf(folder_);
    static_cast<PathLabel*>(lblFolder)->setPath(pathToQ(folder_));
    fillFolderList(pathToQ(cameFrom));
    fillFileList();
    return true;
}

bool frmFailDir::enterFolder(const QString& name) {
    if (name == kUp) {
        const std::string above = fl::parentFolder(folder_);
        return !above.empty() && setFolder(pathToQ(above));
    }
    if (!folderEntries().contains(name)) return false;
    return setFolder(pathToQ(fl::joinFolder(folder_, pathFromQ(name))));
}

bool frmFailDir::selectDrive(const QString& root) {
    const int index = Drive->findText(root);
    if (index < 0) return false;
    {
        const QSignalBlocker quiet(Drive);
        Drive->setCurrentIndex(index);
    }
    Drive_Change();
    return Drive->currentIndex() == index;
}

bool frmFailDir::selectFile(const QString& name) {
    const QList<QListWidgetItem*> found = failList->findItems(name, Qt::MatchExactly);
    if (found.isEmpty()) return false;
    failList->setCurrentItem(found.first());
    found.first()->setSelected(true);
    return true;
}

void frmFailDir::showDriveOf(const std::string& folder) {
    const std::string root = fl::driveOf(folder, drives_);
    const auto it = std::find(drives_.begin(), drives_.end(), root);
    driveIndex_ = it == drives_.end() ? -1 : static_cast<int>(it - drives_.begin());
    const QSignalBlocker quiet(Drive);
    Drive->setCurrentIndex(driveIndex_);
}

void frmFailDir::fillFolderList(const QString& selectName) {
    dirList->clear();
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    if (!fl::parentFolder(folder_).empty())
        new QListWidgetItem(style()->standardIcon(QStyle::SP_FileDialogToParent), kUp, dirList);
    for (const std::string& name : fl::subFolders(folder_))
        new QListWidgetItem(folderIcon, pathToQ(name), dirList);
    const QList<QListWidgetItem*> back = selectName.isEmpty()
                                             ? QList<QListWidgetItem*>{}
                                             : dirList->findItems(selectName, Qt::MatchExactly);
    if (!back.isEmpty())
        dirList->setCurrentItem(back.first());
    else if (dirList->count() > 0)
        dirList->setCurrentRow(0);
}

void frmFailDir::fillFileList() {
    failList->clear();
    const QIcon fileIcon = style()->standardIcon(QStyle::SP_FileIcon);
    // A start of name that reaches into the extension ("plate1.t", a whole
    // name pasted) is no pattern's start of name: such files are found by
    // their beginning among those of the type.
    const bool dotted = prefix_.contains(QLatin1Char('.'));
    for (const std::string& name :
         fl::matchingFiles(folder_, dotted ? filetype::pattern(choice_.FileType) : pattern_)) {
        if (!dotted || filetype::matches(name, pattern_) ||
            pathToQ(name).startsWith(prefix_, Qt::CaseInsensitive))
            new QListWidgetItem(fileIcon, pathToQ(name), failList);
    }
}

void frmFailDir::Drive_Change() {
    const int index = Drive->currentIndex();
    if (index < 0 || index >= static_cast<int>(drives_.size()) ||
        !setFolder(pathToQ(drives_[static_cast<std::size_t>(index)]))) {
        // A drive that cannot be read leaves everything as it was, silently.
        const QSignalBlocker quiet(Drive);
        Drive->setCurrentIndex(driveIndex_);
    }
}

bool frmFailDir::eventFilter(QObject* watched, QEvent* event) {
    // Backspace climbs one folder, as in the platform's own file dialogs.
    if (watched == dirList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Backspace) {
        enterFolder(kUp);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmFailDir::dirList_DblClick(QListWidgetItem* item) {
    if (item) enterFolder(item->text());
}

void frmFailDir::failList_DblClick(QListWidgetItem* item) {
    if (!item) return;
    failList->setCurrentItem(item);
    item->setSelected(true);
    cmdOk_Click();
}

void frmFailDir::optVbor_Click(int index) {
    if (!filetype::isValid(index)) return;
    choice_.FileType = index;
    optVbor[static_cast<std::size_t>(index)]->setChecked(true);
    pattern_ = filetype::pattern(index);
    prefix_.clear();
    Label1->setText(QString::fromStdString(filetype::label(index)));
    fillFileList();
}

void frmFailDir::txtMaska_Enter() {
    const auto prefixed = filetype::prefixedPattern(pathFromQ(txtMaska->text()), choice_.FileType);
    if (!prefixed) return;
    pattern_ = *prefixed;
    prefix_ = txtMaska->text();
    fillFileList();
}

void frmFailDir::txtMaska_Change() {
    const std::optional<TypedPath> typed =
        splitTypedPath(folder_, pathFromQ(txtMaska->text()), QDir::homePath().toStdString());
    if (typed && setFolder(pathToQ(typed->folder))) {
        const QSignalBlocker quiet(txtMaska);
        txtMaska->setText(pathToQ(typed->namePrefix));
    }
    txtMaska_Enter();
    // A pasted path to a file leaves that file chosen, for OK.
    selectFile(txtMaska->text());
}

void frmFailDir::cmdOk_Click() {
    choice_.ChosenFolder = folder_;
    const QList<QListWidgetItem*> selected = failList->selectedItems();
    choice_.ChosenFile = selected.isEmpty() ? std::string() : pathFromQ(selected.first()->text());
    choice_.ChoiceConfirmed = 1;
    accept();
}

void frmFailDir::cmdClose_Click() { reject(); }

QString frmFailDir::folder() const { return pathToQ(folder_); }
QString frmFailDir::pattern() const { return QString::fromStdString(pattern_); }

QStringList frmFailDir::folderEntries() const {
    QStringList out;
    for (int i = 0; i < dirList->count(); ++i) out << dirList->item(i)->text();
    return out;
}

QStringList frmFailDir::fileNames() const {
    QStringList out;
    for (int i = 0; i < failList->count(); ++i) out << failList->item(i)->text();
    return out;
}
