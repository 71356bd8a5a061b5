#include "window/TForm1.h"

#include "form/FormText.h"
#include "form/SelectionCommands.h"
#include "form/SettingsFile.h"
#include "form/WindowLayout.h"
#include "window/Dialogs.h"
#include "window/FileList.h"
#include "window/FolderPanes.h"
#include "window/StampConsole.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace window {
namespace {

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

/// File-system text as the window shows it, and back.
QString FromBytes(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}
std::string ToBytes(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

/// Puts `control` where the layout measures it.
void SetGeometry(QWidget& control, const form::layout::Rect& at) {
    control.setGeometry(at.x, at.y, at.width, at.height);
}

/// Where the layout's font is missing and a wider one stands in, a caption keeps its place and
/// its control grows to show it whole, rather than cutting it.
void GrowToCaption(QWidget& control) {
    const QSize wanted = control.sizeHint();
    QSize size = control.size().expandedTo(QSize(wanted.width(), 0));
    if (control.hasHeightForWidth())
        size.setHeight(std::max(size.height(), control.heightForWidth(size.width())));
    control.resize(size);
}

/// Moves `lower` and the controls that follow it down as far as `upper` reaches into it: a face
/// taller than the classic one must not let a caption run under the box below it. A caption's
/// text ends at its last line's descent, which may lie over the box as the measures have it.
int MakeRoomBelow(const QWidget& upper, QWidget& lower, std::initializer_list<QWidget*> following) {
    const int slack = qobject_cast<const QLabel*>(&upper) ? upper.fontMetrics().descent() : 0;
    const int shift = std::max(0, upper.geometry().bottom() + 1 - slack - lower.y());
    lower.move(lower.x(), lower.y() + shift);
    for (QWidget* control : following)
        control->move(control->x(), control->y() + shift);
    return shift;
}

} // namespace

/// The window's controls as its rules read and set them.
class TForm1::View final : public form::TFormView {
public:
    explicit View(TForm1& form) : form_(form) {}

    std::string PathText() const override { return ToBytes(form_.Path->text()); }
    void SetPathText(const std::string& text) override { form_.Path->setText(FromBytes(text)); }
    std::string FilterText() const override { return ToBytes(form_.Filter->currentText()); }
    bool SelectAllChecked() const override { return form_.SelectAllBox->isChecked(); }
    void SelectAllItems() override { form_.FileList->selectAll(); }
    std::string TreeSelectedPath() const override {
        return ToBytes(form_.TreeView->SelectedPath());
    }
    bool TreeCanResolve(const std::string& path) override {
        return form_.TreeView->CanResolve(FromBytes(path));
    }
    void ShowInComboBox(const std::string& folder) override {
        form_.ComboBox->ShowFolder(FromBytes(folder));
    }
    void SetTreeChangeDelay(int milliseconds) override {
        form_.TreeView->SetChangeDelay(milliseconds);
    }
    form::TSettings CurrentSettings() const override;
    std::vector<bool> SelectedFlags() const override { return form_.FileList->SelectedFlags(); }
    std::string TargetPattern() const override { return ToBytes(form_.ToNameEdit->text()); }
    void Beep() override { QApplication::beep(); }
    form::TBoxes& Boxes() override { return *form_.boxes_; }
    form::TConsoleView& Console() override { return *form_.console_; }
    void Post(std::function<void()> work) override {
        QMetaObject::invokeMethod(&form_, std::move(work), Qt::QueuedConnection);
    }

    // The filter box is set without its change handling: the list keeps its mask.
    void SetFilterIndex(int index) override {
        const QSignalBlocker quiet(form_.Filter);
        form_.Filter->setCurrentIndex(index >= 0 && index < form_.Filter->count() ? index : -1);
    }
    void SetFilterText(const std::string& text) override {
        const QSignalBlocker quiet(form_.Filter);
        form_.Filter->setEditText(QString::fromStdString(text));
    }
    void SetSelectAll(bool checked) override { form_.SelectAllBox->setChecked(checked); }
    void SetMakeReturnFile(bool checked) override { form_.MakeReturnFileBtn->setChecked(checked); }
    void SetTargetPattern(const std::string& text) override {
        form_.ToNameEdit->setText(QString::fromStdString(text));
    }
    void SetLeftPaneWidth(int width) override {
        const QList<int> sizes = form_.Splitter1->sizes();
        const int total = sizes.size() == 2 ? sizes[0] + sizes[1] : width;
        form_.Splitter1->setSizes({width, std::max(total - width, form::layout::kNarrowestPane)});
        form_.leftPaneWidth_ = width;
    }
    void SetLeft(int left) override { form_.move(left, form_.pos().y()); }
    void SetTop(int top) override { form_.move(form_.pos().x(), top); }
    // The window's minimum size still holds.
    void SetWidth(int width) override {
        form_.outer_.setWidth(width);
        form_.ApplyOuterSize();
    }
    void SetHeight(int height) override {
        form_.outer_.setHeight(height);
        form_.ApplyOuterSize();
    }

private:
    TForm1& form_;
};

form::TSettings TForm1::View::CurrentSettings() const {
    form::TSettings settings;
    settings.filterText = form_.Filter->currentText().toStdString();
    settings.filterIndex =
        form::SavedFilterIndex(form_.Filter->currentIndex(), settings.filterText);
    settings.selectAll = form_.SelectAllBox->isChecked();
    settings.makeReturnFile = form_.MakeReturnFileBtn->isChecked();
    settings.targetPattern = form_.ToNameEdit->text().toStdString();
    settings.leftPaneWidth =
        form_.Panel1->isVisible() ? form_.Panel1->width() : form_.leftPaneWidth_;
    // The outer bounds, frame included.
    const QRect frame = form_.frameGeometry();
    settings.left = frame.x();
    settings.top = frame.y();
    settings.width = frame.width();
    settings.height = frame.height();
    return settings;
}

TForm1::TForm1(Setup setup, QWidget* parent)
    : QWidget(parent),
      boxes_(setup.boxes ? std::move(setup.boxes) : std::make_unique<MessageBoxDialogs>(this)),
      console_(new TStampConsole(this)), view_(std::make_unique<View>(*this)) {
    BuildControls();
    Wire();
    form::FormSetup rules = std::move(setup);
    rules.configFolder =
        ToBytes(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    rules.installedFolder = "/" KRONALO_PROGRAM_FOLDER "/";
    rules_ = std::make_unique<form::TFormRules>(*view_, FileList->State(), std::move(rules));
    // The tree comes up on the desktop while the window is built; with no delay yet, the list
    // follows at once.
    TreeView->SelectFolder(DesktopFolder());
    rules_->FormCreate();
}

void TForm1::FitCaptions() {
    // The labels take their text's own height, so the box below them covers none of it.
    for (QLabel* label : {Label1, Label2})
        label->adjustSize();
    for (QWidget* captioned : std::initializer_list<QWidget*>{Label1, SelectAllBox, SelectAllBtn,
                                                              Label2, Label3, Button1, DoItBtn})
        GrowToCaption(*captioned);
    Panel6->setFixedHeight(form::layout::kFilterStripHeight + MakeRoomBelow(*Label1, *Filter, {}));
    MakeRoomBelow(*SelectAllBtn, *Label2, {ToNameEdit, Label3, Button1});
    MakeRoomBelow(*Label2, *ToNameEdit, {Label3, Button1});
    MakeRoomBelow(*ToNameEdit, *Label3, {Button1});
    MakeRoomBelow(*Label3, *Button1, {});
    // A wider face widens the right pane to its widest caption, with the margin it has on the left.
    int widest = form::layout::kRightPaneWidth;
    for (const QWidget* control : std::initializer_list<const QWidget*>{
             SelectAllBox, SelectAllBtn, Label2, ToNameEdit, Label3, Button1, DoItBtn})
        widest = std::max(widest, control->geometry().right() + 1 + control->x());
    Panel4->setFixedWidth(widest);
}

void TForm1::BuildControls() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Text(form::text::kTitle));
    QFont font;
    // Where the classic face is missing, narrow sans faces keep the captions inside their boxes.
    font.setFamilies({QString::fromLatin1(form::layout::kFontFace),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(form::layout::kFontPixels);
    setFont(font);
    setMinimumSize(form::layout::kMinimumWidth, form::layout::kMinimumHeight);
    const form::TSettings defaults;
    move(defaults.left, defaults.top);
    outer_ = QSize(defaults.width, defaults.height);
    ApplyOuterSize();

    Panel1 = new QWidget;
    Panel3 = new QWidget;
    Panel4 = new QWidget(this);
    BuildLeftPane();
    BuildMiddlePane();
    BuildRightPane();
    BuildPopupMenu();
    FitCaptions();

    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(form::layout::kDividerWidth);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->setOpaqueResize(true);
    Splitter1->addWidget(Panel1);
    Splitter1->addWidget(Panel3);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({leftPaneWidth_, form::layout::kMiddlePaneWidth});

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Splitter1, 1);
    layout->addWidget(Panel4);

    QWidget* const order[] = {TreeView,     Path,       ComboBox, FileList,     Filter,
                              SelectAllBox, ToNameEdit, DoItBtn,  SelectAllBtn, Button1};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TForm1::Wire() {
    // A hidden label's mnemonic does not fire, so the window carries Alt+D itself.
    auto* pathShortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_D), this);
    connect(pathShortcut, &QShortcut::activated, this, [this] {
        if (form::FocusesPath(form::PathRequest::AltD, FileList->hasFocus()))
            Path->setFocus();
    });

    connect(Splitter1, &QSplitter::splitterMoved, this, &TForm1::Splitter1Moved);
    // Events whose rule is the window's own logic go straight to it.
    const auto rule = [this](void (form::TFormRules::*handler)()) {
        return [this, handler] { (rules_.get()->*handler)(); };
    };
    connect(TreeView, &TFolderTree::Changed, this, rule(&form::TFormRules::TreeViewChange));
    connect(ComboBox, &TFolderComboBox::Picked, this,
            [this](const QString& path) { TreeView->SelectFolder(path); });
    connect(Path, &QLineEdit::textChanged, this, rule(&form::TFormRules::PathChange));
    Path->installEventFilter(this);
    connect(Filter, &QComboBox::editTextChanged, this, rule(&form::TFormRules::FilterChange));
    connect(DoItBtn, &QPushButton::clicked, this, rule(&form::TFormRules::DoItBtnClick));
    connect(SelectAllBtn, &QPushButton::clicked, this, &TForm1::SelectAllBtnClick);
    connect(SelectAllBox, &QCheckBox::clicked, this, rule(&form::TFormRules::SelectAllIfAsked));
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    FileList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FileList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(FileList->viewport()->mapToGlobal(at)); });
    // The strips learn their widths only after the window's own resize.
    Panel2->installEventFilter(this);
    Panel6->installEventFilter(this);
}

// The rules go first, with their console: a script still running is waited for while the
// window its end would report to still stands.
TForm1::~TForm1() = default;

void TForm1::BuildLeftPane() {
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setMinimumWidth(form::layout::kNarrowestPane);
    Panel2 = new QWidget(Panel1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedHeight(form::layout::kPathStripHeight);
    Path = new QLineEdit(Panel2);
    Path->setObjectName(QStringLiteral("Path"));
    SetGeometry(*Path, form::layout::kPath);
    const QList<Place> places = DesktopPlaces();
    ComboBox = new TFolderComboBox(Panel2, places);
    ComboBox->setObjectName(QStringLiteral("ComboBox"));
    SetGeometry(*ComboBox, form::layout::kComboBox);
    // Never shown: it exists for its mnemonic, Alt+D to the path box.
    Label4 = new QLabel(Text(form::text::kPathAccelerator), Panel2);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->move(form::layout::kLabel4.x, form::layout::kLabel4.y);
    Label4->setBuddy(Path);
    Label4->hide();
    TreeView = new TFolderTree(Panel1, places);
    TreeView->setObjectName(QStringLiteral("TreeView"));

    auto* layout = new QVBoxLayout(Panel1);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel2);
    layout->addWidget(TreeView, 1);
}

void TForm1::BuildMiddlePane() {
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setMinimumWidth(form::layout::kNarrowestPane);
    Panel6 = new QWidget(Panel3);
    Panel6->setObjectName(QStringLiteral("Panel6"));
    Panel6->setFixedHeight(form::layout::kFilterStripHeight);
    Label1 = new QLabel(Text(form::text::kFilterLabel), Panel6);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(4, 2);
    Filter = new QComboBox(Panel6);
    Filter->setObjectName(QStringLiteral("Filter"));
    Filter->setEditable(true);
    Filter->setInsertPolicy(QComboBox::NoInsert);
    for (const char* preset : form::text::kFilterPresets)
        Filter->addItem(QString::fromUtf8(preset));
    Filter->setCurrentIndex(form::TSettings().filterIndex);
    Filter->setGeometry(form::layout::kFilter.x, form::layout::kFilter.y,
                        form::layout::kFilter.width, Filter->sizeHint().height());
    Label1->setBuddy(Filter);
    FileList = new TFileList(Panel3);
    FileList->setObjectName(QStringLiteral("FileList"));
    QFont listFont(QString::fromLatin1(form::layout::kListFontFace));
    listFont.setPixelSize(form::layout::kListFontPixels);
    FileList->setFont(listFont);

    auto* layout = new QVBoxLayout(Panel3);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel6);
    layout->addWidget(FileList, 1);
}

void TForm1::BuildRightPane() {
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setFixedWidth(form::layout::kRightPaneWidth);
    auto* content = new QWidget(Panel4);
    SelectAllBox = new QCheckBox(Text(form::text::kSelectAllBox), content);
    SelectAllBox->setObjectName(QStringLiteral("SelectAllBox"));
    SetGeometry(*SelectAllBox, form::layout::kSelectAllBox);
    SelectAllBox->setChecked(form::TSettings().selectAll);
    // Never shown and used by nothing but the settings file, whose fourth line it keeps.
    MakeReturnFileBtn = new QCheckBox(Text(form::text::kMakeReturnFile), content);
    MakeReturnFileBtn->setObjectName(QStringLiteral("MakeReturnFileBtn"));
    MakeReturnFileBtn->move(form::layout::kMakeReturnFileBtn.x, form::layout::kMakeReturnFileBtn.y);
    MakeReturnFileBtn->setChecked(form::TSettings().makeReturnFile);
    MakeReturnFileBtn->hide();
    SelectAllBtn = new QPushButton(Text(form::text::kSelectAllBtn), content);
    SelectAllBtn->setObjectName(QStringLiteral("SelectAllBtn"));
    SetGeometry(*SelectAllBtn, form::layout::kSelectAllBtn);
    Label2 = new QLabel(Text(form::text::kTargetLabel), content);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(form::layout::kLabel2.x, form::layout::kLabel2.y);
    ToNameEdit = new QLineEdit(QString::fromStdString(form::TSettings().targetPattern), content);
    ToNameEdit->setObjectName(QStringLiteral("ToNameEdit"));
    SetGeometry(*ToNameEdit, form::layout::kToNameEdit);
    Label3 = new QLabel(Text(form::text::kTargetHint), content);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setWordWrap(true);
    SetGeometry(*Label3, form::layout::kLabel3);
    Button1 = new QPushButton(Text(form::text::kMoreButton), content);
    Button1->setObjectName(QStringLiteral("Button1"));
    SetGeometry(*Button1, form::layout::kButton1);
    // Never shown: the line buffer of the window's design. The run and the settings file
    // assemble their lines in strings of their own, so it stays empty.
    FileBuf = new QPlainTextEdit(content);
    FileBuf->setObjectName(QStringLiteral("FileBuf"));
    FileBuf->setLineWrapMode(QPlainTextEdit::NoWrap);
    FileBuf->move(form::layout::kFileBuf.x, form::layout::kFileBuf.y);
    FileBuf->hide();

    Panel5 = new QWidget(Panel4);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    Panel5->setFixedHeight(form::layout::kRunStripHeight);
    DoItBtn = new QPushButton(Text(form::text::kDoItBtn), Panel5);
    DoItBtn->setObjectName(QStringLiteral("DoItBtn"));
    SetGeometry(*DoItBtn, form::layout::kDoItBtn);
    DoItBtn->setDefault(true);

    auto* layout = new QVBoxLayout(Panel4);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(content, 1);
    layout->addWidget(Panel5);
}

void TForm1::BuildPopupMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    const auto entry = [this](const char* name, const char* caption, void (TForm1::*handler)()) {
        QAction* action = PopupMenu1->addAction(Text(caption));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    entry("Valitsekaikki1", form::text::kMenuSelectAll, &TForm1::Valitsekaikki1Click);
    entry("Valitsejokatoinen1", form::text::kMenuEveryOther, &TForm1::Valitsejokatoinen1Click);
    entry("Knteinenvalinta1", form::text::kMenuInverse, &TForm1::Knteinenvalinta1Click);
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N1"));
    entry("Valitsejokatoinenjovalitut1", form::text::kMenuEveryOtherInAddition,
          &TForm1::Valitsejokatoinenjovalitut1Click);
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N2"));
    QAction* changePath =
        entry("VaihdapolkuaAltD1", form::text::kMenuChangePath, &TForm1::VaihdapolkuaAltD1Click);
    // F6 belongs to the list that owns the menu; Alt+D works anywhere.
    changePath->setShortcut(QKeySequence(Qt::Key_F6));
    changePath->setShortcutContext(Qt::WidgetShortcut);
    FileList->addAction(changePath);
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N3"));
    QAction* restore = PopupMenu1->addAction(Text(form::text::kMenuRestore));
    restore->setObjectName(QStringLiteral("Palautaaiemmatajat1"));
    connect(restore, &QAction::triggered, this, [this] { rules_->RestoreEarlierTimes(); });
}

void TForm1::FormShow() {
    rules_->FormShow();
    // The tree opens to the folder the command line gave; the list is there already.
    TreeView->SelectFolder(FromBytes(FileList->Folder()), false);
}

void TForm1::FormResize() {
    Filter->resize(Panel6->width() - 2, Filter->height());
    Splitter1Moved();
}

void TForm1::Splitter1Moved() {
    Path->resize(Panel2->width() - 2, Path->height());
    ComboBox->resize(Panel2->width() - 2, ComboBox->height());
}

void TForm1::SelectAllBtnClick() {
    FileList->selectAll();
}

void TForm1::Button1Click() {
    const QPoint pane = Panel3->mapTo(this, QPoint(0, 0));
    const QRect frame = frameGeometry();
    const form::MenuPosition at =
        form::Button1MenuPosition(frame.left(), frame.top(), pane.x(), pane.y(), Panel6->height());
    PopupMenu1->popup(QPoint(at.x, at.y));
}

void TForm1::Valitsekaikki1Click() {
    FileList->selectAll();
    FileList->setFocus();
}

void TForm1::Valitsejokatoinen1Click() {
    FileList->setFocus();
    FileList->SetSelectedFlags(form::EveryOther(FileList->SelectedFlags()));
}

void TForm1::Knteinenvalinta1Click() {
    FileList->setFocus();
    FileList->SetSelectedFlags(form::Inverse(FileList->SelectedFlags()));
}

void TForm1::Valitsejokatoinenjovalitut1Click() {
    FileList->setFocus();
    FileList->SetSelectedFlags(form::EveryOtherInAddition(FileList->SelectedFlags()));
}

void TForm1::VaihdapolkuaAltD1Click() {
    Path->setFocus();
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TForm1::ApplyOuterSize() {
    // The frame is known only once the window manager has framed the shown window; until then
    // the outer size is the client's.
    resize(outer_ - (frameGeometry().size() - size()));
}

bool TForm1::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // The settings mean the window's outer size: once the frame is first known, the client area
    // gives way to it.
    const QEvent::Type type = event->type();
    // Only these types are looked at: others, such as a child's arrival, come while members are
    // still being built.
    if ((type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize) && !framed_ &&
        isVisible() && frameGeometry().size() != size()) {
        framed_ = true;
        ApplyOuterSize();
    }
    return handled;
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (rules_->FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    // Enter that no control took runs the default button, as in a dialog.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        DoItBtn->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Path && event->type() == QEvent::KeyRelease)
        rules_->PathKeyUp();
    // The strips learn their widths only after the window's own resize.
    if ((watched == Panel2 || watched == Panel6) && event->type() == QEvent::Resize)
        FormResize();
    return QWidget::eventFilter(watched, event);
}

} // namespace window
