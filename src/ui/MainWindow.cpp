#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCollator>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFileSystemWatcher>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusTipEvent>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QUrl>
#include <algorithm>

#include "play/Browser.h"
#include "run/FolderListing.h"
#include "ui/AboutDialog.h"
#include "ui/PreviewBox.h"
#include "ui/ProgramIcon.h"
#include "ui/SplitHandle.h"
#include "ui/Translation.h"
#include "ui/WindowLayout.h"
#include "ui/WindowPlacement.h"
#include "ui/WindowTexts.h"

namespace movara::ui {

namespace {

// The window's design position (its size is in WindowLayout.h).
constexpr int kDesignLeft = 192;
constexpr int kDesignTop = 114;
constexpr int kStatusHeight = 19;
constexpr int kListPathRole = Qt::UserRole;

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }
QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }
std::filesystem::path PathOf(const QString& path) { return std::filesystem::path(path.toStdString()); }

// "宋体" at 12 pixels, or a CJK font that is installed in its place.
QFont WindowFont() {
  const QStringList installed = QFontDatabase::families();
  QString family = Q("宋体");
  for (const char* candidate : {"SimSun", "Noto Sans CJK SC", "Noto Serif CJK SC", "WenQuanYi Micro Hei"}) {
    if (installed.contains(family)) break;
    family = Q(candidate);
  }
  QFont font(family);
  font.setPixelSize(12);
  return font;
}

// Names in the order the folder tree shows them: by name, numbers by value,
// case ignored.
void SortNames(QStringList& names) {
  QCollator collator;
  collator.setNumericMode(true);
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::sort(names.begin(), names.end(), collator);
}

// The files of a folder (not hidden ones) of the kinds the file-type box
// lists: GIFs, or PNG and WebP files too; in display order.
QStringList GifNames(const QDir& dir, bool pngAndWebP) {
  QStringList names;
  const std::vector<std::string> extensions = run::ConvertedExtensions(pngAndWebP);
  for (const QString& name : dir.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort)) {
    if (run::HasExtension(PathOf(name), extensions)) names.push_back(name);
  }
  SortNames(names);
  return names;
}

template <typename Control>
Control* Named(Control* control, const char* name) {
  control->setObjectName(name);
  return control;
}

}  // namespace

TMainWindow::TMainWindow(form::ISettingsStore& settings, std::filesystem::path programFolder)
    : anchors_(QSize(kDesignWidth, kDesignHeight)) {
  setObjectName("frmMain");
  setWindowTitle(Q(text::kCaption));
  setWindowIcon(ProgramIcon(64));
  setFont(WindowFont());
  CreateMenu();
  CreateFolderTreeAndList();
  CreatePreview();
  CreateModeAndUrl();
  CreateMovieChoices();
  CreateOutputAndStart();
  CreateStatusBar();
  AddTooltips();
  setAcceptDrops(true);
  setMinimumSize(kDesignWidth, kDesignHeight);
  resize(kDesignWidth, kDesignHeight);
  move(kDesignLeft, kDesignTop);

  form_ = std::make_unique<form::TfrmMain>(*this, settings, std::move(programFolder));
  ConnectHandlers();
  qApp->installEventFilter(this);  // every key passes the window first (Escape)
  SelectFolder(PathOf(QDir::homePath()));
  // The locale's language until the settings name the one chosen.
  SetLanguage(LanguageOf(QLocale()));
}

TMainWindow::~TMainWindow() {
  qApp->removeEventFilter(this);
  SetBusyCursor(false);
  if (english_ != nullptr) QCoreApplication::removeTranslator(english_.get());
  form_.reset();
}

void TMainWindow::Translated(std::function<void()> apply) { retranslate_.push_back(std::move(apply)); }

void TMainWindow::CreateMenu() {
  TBToolbar1 = Named(new QMenuBar(this), "TBToolbar1");
  TBToolbar1->setNativeMenuBar(false);
  QMenu* help = TBToolbar1->addMenu(QString());
  help->setFont(font());
  TBItem1 = help->addAction(QString());
  TBItem1->setShortcut(QKeySequence(Qt::Key_F1));
  addAction(TBItem1);  // F1 works while the menu is closed
  About1 = help->addAction(QString());
  Translated([=, this] {
    help->setTitle(text::Tr(text::kHelpMenu));
    TBItem1->setText(text::Tr(text::kHelpItem));
    About1->setText(text::Tr(text::kAboutItem));
  });
  CreateLanguageMenu();
  // As high as the menu's captions need in this font; as wide as the
  // column below it (Relayout).
  const int height = std::clamp(TBToolbar1->sizeHint().height(), 20, 24);
  anchors_.Add(TBToolbar1, QRect(0, 0, 432, height), TAnchors::Left | TAnchors::Top);
}

void TMainWindow::CreateFolderTreeAndList() {
  folders_ = new QFileSystemModel(this);
  folders_->setFilter(QDir::Dirs | QDir::NoDotAndDotDot);
  folders_->setReadOnly(true);
  folders_->setRootPath("/");
  FTree = Named(new QTreeView(this), "FTree");
  FTree->setModel(folders_);
  for (int column = 1; column < folders_->columnCount(); ++column) FTree->hideColumn(column);
  FTree->setHeaderHidden(true);
  FTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // The tree, the list, the handle between them, the file type box and the
  // preview are placed by LeftArea (Relayout), not by anchors.

  LV1 = Named(new QTreeWidget(this), "LV1");
  LV1->setColumnCount(1);
  LV1->setHeaderHidden(true);
  LV1->setRootIsDecorated(false);
  LV1->setUniformRowHeights(true);
  LV1->setSelectionMode(QAbstractItemView::SingleSelection);
  LV1->setSelectionBehavior(QAbstractItemView::SelectRows);
  LV1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  LV1->header()->setStretchLastSection(true);  // the one column fills the list
  LV1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QPalette keepVisible = LV1->palette();
  keepVisible.setColor(QPalette::Inactive, QPalette::Highlight, keepVisible.color(QPalette::Active, QPalette::Highlight));
  keepVisible.setColor(QPalette::Inactive, QPalette::HighlightedText,
                       keepVisible.color(QPalette::Active, QPalette::HighlightedText));
  LV1->setPalette(keepVisible);
  listWatcher_ = new QFileSystemWatcher(this);


  Splitter1 = Named(new TSplitHandle(this), "Splitter1");

  CB1 = Named(new QComboBox(this), "CB1");
  CB1->addItem(QString());
  CB1->addItem(QString());
  CB1->setCurrentIndex(0);
  Translated([this] {
    CB1->setItemText(0, text::Tr(text::kFileType));
    CB1->setItemText(1, text::Tr(text::kFileTypeAll));
  });

}

void TMainWindow::CreatePreview() {
  BPanel1 = new TPreviewBox(this);
  ChB1 = Named(new QCheckBox(this), "ChB1");
  Translated([this] { ChB1->setText(text::Tr(text::kPreview)); });
  ChB1->setChecked(true);
  ChB1->setGeometry(271, 6, 97, 17);
  ChB1->hide();
}

void TMainWindow::CreateModeAndUrl() {
  const int topRight = TAnchors::Top | TAnchors::Right;
  GroupBox1 = Named(new QGroupBox(this), "GroupBox1");
  anchors_.Add(GroupBox1, QRect(444, 20, 332, 65), topRight);
  RBSingle = Named(new QRadioButton(GroupBox1), "RBSingle");
  RBSingle->setGeometry(12, 28, 153, 17);
  RBSingle->setChecked(true);
  RBFolder = Named(new QRadioButton(GroupBox1), "RBFolder");
  RBFolder->setGeometry(176, 28, 149, 17);

  GroupBox4 = Named(new QGroupBox(Q(text::kUrlGroup), this), "GroupBox4");
  anchors_.Add(GroupBox4, QRect(444, 92, 332, 65), topRight);
  EURL = Named(new QLineEdit(Q(text::kUrlStart), GroupBox4), "EURL");
  EURL->setGeometry(12, 25, 308, 21);

  GroupBox3 = Named(new QGroupBox(this), "GroupBox3");
  anchors_.Add(GroupBox3, QRect(444, 164, 332, 65), topRight);
  ComboBox1 = Named(new QComboBox(GroupBox3), "ComboBox1");
  for (std::size_t i = 0; i < std::size(text::kQualities); ++i) ComboBox1->addItem(QString());
  ComboBox1->setCurrentIndex(0);
  ComboBox1->setGeometry(12, 25, 308, 21);
  GroupBox3->hide();
  Translated([this] {
    GroupBox1->setTitle(text::Tr(text::kMode));
    RBSingle->setText(text::Tr(text::kSingle));
    RBSingle->setStatusTip(text::Tr(text::kSingleHint));
    RBFolder->setText(text::Tr(text::kFolder));
    RBFolder->setStatusTip(text::Tr(text::kFolderHint));
    EURL->setStatusTip(text::Tr(text::kUrlHint));
    GroupBox3->setTitle(text::Tr(text::kQualityGroup));
    for (int i = 0; i < ComboBox1->count(); ++i) ComboBox1->setItemText(i, text::Tr(text::kQualities[i]));
    ComboBox1->setStatusTip(text::Tr(text::kQualityHint));
  });
}

void TMainWindow::CreateMovieChoices() {
  GroupBox5 = Named(new QGroupBox(this), "GroupBox5");
  anchors_.Add(GroupBox5, QRect(444, 164, 332, 65), TAnchors::Top | TAnchors::Right);
  Translated([this] { GroupBox5->setTitle(text::Tr(text::kMovieGroup)); });
  const auto box = [this](const char* caption, const char* name, QRect bounds) {
    auto* check = Named(new QCheckBox(GroupBox5), name);
    check->setGeometry(bounds);
    Translated([check, caption] { check->setText(text::Tr(caption)); });
    return check;
  };
  ChBCompact = box(text::kCompact, "ChBCompact", QRect(12, 23, 153, 17));
  ChBCompress = box(text::kCompress, "ChBCompress", QRect(176, 23, 149, 17));
  ChBKeep = box(text::kKeepExisting, "ChBKeep", QRect(12, 43, 153, 17));
  // The frame rate on the caption's line, its box flush with the right
  // column: the two rows below are full.
  SEFrameRate = Named(new QSpinBox(GroupBox5), "SEFrameRate");
  SEFrameRate->setRange(static_cast<int>(convert::kMinFrameRate), static_cast<int>(convert::kMaxFrameRate));
  SEFrameRate->setValue(static_cast<int>(convert::kDefaultFrameRate));
  SEFrameRate->setGeometry(269, 1, 56, 19);
  LblFrameRate = Named(new QLabel(GroupBox5), "LblFrameRate");
  LblFrameRate->setBuddy(SEFrameRate);
  Translated([this] {
    LblFrameRate->setText(text::Tr(text::kFrameRate));
    const int labelWidth = LblFrameRate->sizeHint().width();
    LblFrameRate->setGeometry(SEFrameRate->x() - 6 - labelWidth, 2, labelWidth, 17);
  });
  ChBGifLoop = box(text::kGifLoop, "ChBGifLoop", QRect(176, 43, 149, 17));
}

void TMainWindow::CreateOutputAndStart() {
  // The right column keeps its controls together at the top.
  const int topRight = TAnchors::Top | TAnchors::Right;
  btnStart = Named(new QPushButton(this), "btnStart");
  btnStart->setEnabled(false);
  anchors_.Add(btnStart, QRect(551, 243, 118, 25), topRight);
  btnOpenFolder = Named(new QPushButton(this), "btnOpenFolder");
  anchors_.Add(btnOpenFolder, QRect(681, 243, 95, 25), topRight);

  GroupBox2 = Named(new QGroupBox(this), "GroupBox2");
  anchors_.Add(GroupBox2, QRect(444, 276, 332, 79), topRight);
  JamPathLabel1 = Named(new QLabel(GroupBox2), "JamPathLabel1");
  JamPathLabel1->setGeometry(12, 37, 233, 17);
  JamPathLabel1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  btnSelectFolder = Named(new QPushButton(GroupBox2), "btnSelectFolder");
  btnSelectFolder->setGeometry(258, 31, 61, 25);
  Translated([this] {
    btnStart->setText(text::Tr(stopShown_ ? text::kStop : text::kStart));
    btnOpenFolder->setText(text::Tr(text::kOpenFolder));
    GroupBox2->setTitle(text::Tr(text::kOutputGroup));
    btnSelectFolder->setText(text::Tr(text::kSelectFolder));
  });

  BV2 = Named(new QFrame(this), "BV2");
  BV2->setFrameShape(QFrame::VLine);
  BV2->setFrameShadow(QFrame::Sunken);
  anchors_.Add(BV2, QRect(432, 0, 2, 365), TAnchors::Top | TAnchors::Right | TAnchors::Bottom);
}

void TMainWindow::CreateStatusBar() {
  RzSB1 = Named(new QFrame(this), "RzSB1");
  auto* layout = new QHBoxLayout(RzSB1);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  const auto pane = [this](const char* name) {
    auto* label = Named(new QLabel(RzSB1), name);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    return label;
  };
  RzP2 = pane("RzP2");
  RzP2->setFixedWidth(120);
  RzB = Named(new QProgressBar(RzSB1), "RzB");
  RzB->setFixedWidth(120);
  RzB->setRange(0, 100);
  RzB->hide();
  RzP = pane("RzP");
  layout->addWidget(RzP2);
  layout->addWidget(RzB);
  layout->addWidget(RzP, 1);
  anchors_.Add(RzSB1, QRect(0, kDesignHeight - kStatusHeight, kDesignWidth, kStatusHeight),
               TAnchors::Left | TAnchors::Right | TAnchors::Bottom);
}

void TMainWindow::ConnectHandlers() {
  connect(FTree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { TreeChanged(); });
  connect(LV1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& selected, const QItemSelection& deselected) {
            for (const QModelIndex& index : deselected.indexes()) form_->LV1SelectItem(index.row(), false);
            for (const QModelIndex& index : selected.indexes()) form_->LV1SelectItem(index.row(), true);
          });
  connect(RBSingle, &QRadioButton::toggled, this, [this] { form_->RBSingleClick(); });
  connect(btnStart, &QPushButton::clicked, this, [this] {
    if (form_->Running()) {
      form_->btnStopClick();
      return;
    }
    form_->btnStartClick();
    if (form_->ClosePending()) close();
  });
  connect(btnSelectFolder, &QPushButton::clicked, this, [this] { form_->btnSelectFolderClick(); });
  connect(Splitter1, &TSplitHandle::Dragged, this, [this](int dx) {
    splitShare_ = SplitShareFor(size(), FTree->width() + dx);
    Relayout();
  });
  connect(btnOpenFolder, &QPushButton::clicked, this, [this] { form_->btnOpenFolderClick(); });
  connect(ChB1, &QCheckBox::clicked, this, [this] { form_->ChB1Click(); });
  connect(TBItem1, &QAction::triggered, this, [this] { form_->TBItem1Click(); });
  connect(About1, &QAction::triggered, this, [this] { form_->About1Click(); });
  TPictureView* image = BPanel1->Image1;
  connect(image, &TPictureView::MouseDown, this, [this](int x, int y) { form_->Preview.Image1MouseDown(x, y); });
  connect(image, &TPictureView::MouseMove, this, [this](int x, int y) { form_->Preview.Image1MouseMove(x, y); });
  connect(image, &TPictureView::MouseUp, this, [this] { form_->Preview.Image1MouseUp(); });
  // Changes come in bursts (a program writing many files): the list is
  // looked at again once they pause.
  auto* listRefresh = new QTimer(this);
  listRefresh->setSingleShot(true);
  listRefresh->setInterval(200);
  connect(listRefresh, &QTimer::timeout, this, [this] { RefreshList(); });
  // The file-type box chooses what the list shows.
  connect(CB1, &QComboBox::currentIndexChanged, this, [this] {
    if (!listed_.empty()) FillList(listed_);
  });
  connect(listWatcher_, &QFileSystemWatcher::directoryChanged, listRefresh, qOverload<>(&QTimer::start));
  // The tree loads folders in the background, which moves the rows: the
  // folder selected by the program is scrolled into view again as folders
  // above it come in, until another folder is selected.
  treeScroll_ = new QTimer(this);
  treeScroll_->setSingleShot(true);
  treeScroll_->setInterval(50);
  connect(treeScroll_, &QTimer::timeout, this, [this] {
    if (!scrollPending_.empty()) FTree->scrollTo(folders_->index(Q(scrollPending_)), QAbstractItemView::PositionAtCenter);
  });
  const auto rescroll = [this] {
    if (!scrollPending_.empty()) treeScroll_->start();
  };
  connect(folders_, &QFileSystemModel::rowsInserted, this, rescroll);
  connect(folders_, &QFileSystemModel::layoutChanged, this, rescroll);
}

void TMainWindow::TreeChanged() {
  scrollPending_.clear();
  const std::filesystem::path folder = SelectedFolder();
  FillList(folder);
  form_->FTreeChange(folder);
}

void TMainWindow::FillList(const std::filesystem::path& folder) {
  // Clearing the list drops its selection without a signal: the handler is
  // told of the deselection here.
  const QModelIndexList selected = LV1->selectionModel()->selectedRows();
  LV1->clear();
  for (const QModelIndex& index : selected) form_->LV1SelectItem(index.row(), false);

  if (!listWatcher_->directories().isEmpty()) listWatcher_->removePaths(listWatcher_->directories());
  listed_ = folder;
  if (!folder.empty()) listWatcher_->addPath(Q(folder));
  const QDir dir(Q(folder));
  const QStringList names = GifNames(dir, CB1->currentIndex() == 1);
  QList<QTreeWidgetItem*> items;
  items.reserve(names.size());
  for (const QString& name : names) {
    auto* item = new QTreeWidgetItem(QStringList(name));
    item->setData(0, kListPathRole, dir.absoluteFilePath(name));
    item->setToolTip(0, dir.absoluteFilePath(name));
    items.push_back(item);
  }
  LV1->addTopLevelItems(items);
  form_->ListChanged();
}

void TMainWindow::RefreshList() {
  QStringList shown;
  for (int i = 0; i < LV1->topLevelItemCount(); ++i) shown.push_back(LV1->topLevelItem(i)->text(0));
  if (GifNames(QDir(Q(listed_)), CB1->currentIndex() == 1) == shown) return;
  const QList<QTreeWidgetItem*> selected = LV1->selectedItems();
  const QString kept = selected.isEmpty() ? QString() : selected.front()->text(0);
  FillList(listed_);
  if (kept.isEmpty()) return;
  const QList<QTreeWidgetItem*> found = LV1->findItems(kept, Qt::MatchExactly);
  if (!found.isEmpty()) LV1->setCurrentItem(found.front());
  form_->ListChanged();
}

// ---- the view's side of the handlers ----

void TMainWindow::SetStatusText(const std::string& status) { RzP->setText(QString::fromStdString(status)); }
void TMainWindow::SetPositionText(const std::string& position) { RzP2->setText(QString::fromStdString(position)); }
void TMainWindow::ShowPositionPane(bool visible) { RzP2->setVisible(visible); }
void TMainWindow::SetProgress(int percent) { RzB->setValue(percent); }
void TMainWindow::ShowProgress(bool visible) { RzB->setVisible(visible); }

void TMainWindow::SetBusyCursor(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void TMainWindow::ProcessMessages() { QCoreApplication::processEvents(); }

bool TMainWindow::SingleFileMode() const { return RBSingle->isChecked(); }
bool TMainWindow::UrlEnabled() const { return EURL->isEnabled(); }
std::string TMainWindow::UrlText() const { return EURL->text().toStdString(); }

void TMainWindow::SetUrlEnabled(bool enabled) {
  GroupBox4->setEnabled(enabled);
  EURL->setEnabled(enabled);
}

void TMainWindow::SetStartEnabled(bool enabled) { btnStart->setEnabled(enabled); }

void TMainWindow::ShowRunning(bool running, bool folderRun) {
  // The file-type box is a choice of the run (and refills the list).
  for (QWidget* control : {static_cast<QWidget*>(GroupBox1), static_cast<QWidget*>(GroupBox2),
                           static_cast<QWidget*>(GroupBox5), static_cast<QWidget*>(FTree),
                           static_cast<QWidget*>(CB1)}) {
    control->setEnabled(!running);
  }
  GroupBox4->setEnabled(!running && RBSingle->isChecked());
  LanguageMenu->setEnabled(!running);
  stopShown_ = running && folderRun;
  btnStart->setText(text::Tr(stopShown_ ? text::kStop : text::kStart));
  btnStart->setEnabled(!running || folderRun);
}

std::filesystem::path TMainWindow::SelectedFolder() const {
  const QModelIndex current = FTree->currentIndex();
  return current.isValid() ? PathOf(folders_->filePath(current)) : std::filesystem::path();
}

void TMainWindow::SelectFolder(const std::filesystem::path& folder) {
  const QModelIndex index = folders_->index(Q(folder));
  if (!index.isValid()) return;
  for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) FTree->expand(parent);
  FTree->setCurrentIndex(index);
  FTree->scrollTo(index, QAbstractItemView::PositionAtCenter);
  scrollPending_ = PathOf(folders_->filePath(index));
}

std::vector<std::string> TMainWindow::SubfolderNames(const std::filesystem::path& folder) {
  QStringList names = QDir(Q(folder)).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
  SortNames(names);
  std::vector<std::string> result;
  for (const QString& name : names) result.push_back(name.toStdString());
  return result;
}

std::vector<form::IMainView::ListItem> TMainWindow::ListItems() const {
  std::vector<ListItem> items;
  items.reserve(static_cast<std::size_t>(LV1->topLevelItemCount()));
  for (int i = 0; i < LV1->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = LV1->topLevelItem(i);
    items.push_back({PathOf(item->data(0, kListPathRole).toString()), item->isSelected()});
  }
  return items;
}

void TMainWindow::ShowOutputFolder(const std::filesystem::path& folder) {
  outputShown_ = folder;
  ShowOutputPath();
}

// A long path loses its middle, so that its start and its last folder show.
void TMainWindow::ShowOutputPath() {
  const QString path = Q(outputShown_);
  JamPathLabel1->setText(JamPathLabel1->fontMetrics().elidedText(path, Qt::ElideMiddle, JamPathLabel1->width()));
  JamPathLabel1->setToolTip(path);
}

// The normal (not maximised) geometry: the frame's outer corner and the
// client size.
form::IMainView::Geometry TMainWindow::WindowGeometry() const {
  const QRect normal = isMaximized() ? normalGeometry() : geometry();
  const QPoint frame = geometry().topLeft() - pos();
  return {normal.x() - frame.x(), normal.y() - frame.y(), normal.width(), normal.height(), isMaximized(), splitShare_};
}

void TMainWindow::SetWindowGeometry(const Geometry& geometry) {
  QList<QRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) screens.push_back(screen->availableGeometry());
  const QScreen* primary = QGuiApplication::primaryScreen();
  const QSize size = QSize(geometry.Width, geometry.Height).expandedTo(minimumSize());
  const QRect placed = primary == nullptr ? QRect(QPoint(geometry.Left, geometry.Top), size)
                                          : PlaceOnScreens(QRect(QPoint(geometry.Left, geometry.Top), size), screens,
                                                           primary->availableGeometry());
  splitShare_ = std::clamp(geometry.SplitShare, 0, 10000);
  move(placed.topLeft());
  resize(placed.size().expandedTo(minimumSize()));
  Relayout();
  setWindowState(geometry.Maximized ? windowState() | Qt::WindowMaximized : windowState() & ~Qt::WindowMaximized);
}

void TMainWindow::SetSingleFileMode(bool single) { (single ? RBSingle : RBFolder)->setChecked(true); }
void TMainWindow::SetUrlText(const std::string& url) { EURL->setText(QString::fromStdString(url)); }

form::IMainView::MovieChoices TMainWindow::MovieOptions() const {
  return {ChBCompact->isChecked(),
          ChBCompress->isChecked(),
          ChBKeep->isChecked(),
          {static_cast<unsigned>(SEFrameRate->value()), ChBGifLoop->isChecked()},
          CB1->currentIndex() == 1};
}

void TMainWindow::SetMovieOptions(const MovieChoices& choices) {
  ChBCompact->setChecked(choices.Compact);
  ChBCompress->setChecked(choices.Compress);
  ChBKeep->setChecked(choices.KeepExisting);
  SEFrameRate->setValue(static_cast<int>(choices.Timing.FramesPerSecond));
  ChBGifLoop->setChecked(choices.Timing.GifLoop);
  CB1->setCurrentIndex(choices.PngAndWebP ? 1 : 0);
}

std::filesystem::path TMainWindow::PicturesFolder() const {
  return PathOf(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
}

void TMainWindow::OpenDocument(const std::filesystem::path& file) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(Q(file)));
}

bool TMainWindow::OpenUrl(const std::string& url) { return play::OpenBrowser(url); }

bool TMainWindow::PreviewChecked() const { return ChB1->isChecked(); }
form::IPreviewView& TMainWindow::Preview() { return *BPanel1; }

std::filesystem::path TMainWindow::BrowseForFolder(const std::filesystem::path& start) {
  return PathOf(QFileDialog::getExistingDirectory(this, GroupBox2->title().trimmed(), Q(start)));
}

void TMainWindow::ShowAboutBox() {
  TAboutDialog about(this);
  about.exec();
}

void TMainWindow::CloseWindow() { close(); }

// ---- Qt's events ----

bool TMainWindow::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    form_->ShowHint(static_cast<QStatusTipEvent*>(event)->tip().toStdString());
    return true;
  }
  return QWidget::event(event);
}

bool TMainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (widget != nullptr && widget->window() == this) form_->FormKeyPress(27);
  }
  return QWidget::eventFilter(watched, event);
}

void TMainWindow::closeEvent(QCloseEvent* event) {
  // Closing during a run stops it between files; the window closes after.
  if (!form_->FormCloseQuery()) {
    event->ignore();
    return;
  }
  form_->FormClose();
  event->accept();
}

void TMainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Relayout();
}

void TMainWindow::Relayout() {
  anchors_.Apply(size());
  const TLeftArea area = LeftArea(size(), splitShare_);
  FTree->setGeometry(area.Tree);
  BPanel1->setGeometry(area.Preview);
  Splitter1->setGeometry(area.Handle);
  LV1->setGeometry(area.List);
  CB1->setGeometry(area.FileType);
  TBToolbar1->resize(BV2->x(), TBToolbar1->height());
  ShowOutputPath();
}

void TMainWindow::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  form_->FormPaint();
}

}  // namespace movara::ui
