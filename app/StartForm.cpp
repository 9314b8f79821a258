#include "app/StartForm.h"

#include <QApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>
#include <tuple>

#include "app/AboutBox.h"
#include "app/AdminOptions.h"
#include "app/PasswordDlg.h"
#include "app/TestSettingsDlg.h"
#include "base/AnsiText.h"
#include "base/Controls.h"
#include "base/Form.h"
#include "base/MessageDlg.h"
#include "base/ModalSeam.h"
#include "base/Pictures.h"
#include "base/ProgramFolder.h"
#include "base/core/ExtraSettings.h"
#include "base/core/OptionsFile.h"
#include "base/core/PathResolver.h"
#include "base/core/UserCode.h"
#include "candidates/CandidateDlg.h"
#include "candidates/core/ClassList.h"
#include "editor/AddEditForm.h"
#include "paper/PaperPrint.h"
#include "paper/ScoreScans.h"
#include "questions/GetFilename.h"
#include "questions/PrintSet.h"
#include "questions/core/QuestionSet.h"
#include "session/Form1.h"
#include "session/ResultsForm.h"
#include "session/TimerValue.h"
#include "session/core/AttemptJournal.h"
#include "session/core/TestSettings.h"
#include "session/core/TimeText.h"
#include "web/GoToWeb.h"
#include "web/HelpPage.h"

namespace proctorium {

TStartForm* StartForm = nullptr;

namespace {

constexpr int ButtonFontSize = 8;
const char* const OptionsFileName = "Proctorium.opt";

QAction* MakeItem(QMenu* menu, const char* name, const QString& caption, bool checkable = false) {
  QAction* a = menu->addAction(caption);
  a->setObjectName(QString::fromLatin1(name));
  a->setCheckable(checkable);
  return a;
}

QAction* MakeSeparator(QMenu* menu, const char* name) {
  QAction* a = menu->addSeparator();
  a->setObjectName(QString::fromLatin1(name));
  return a;
}

}  // namespace

TStartForm::TStartForm(const std::string& programFolder, QWidget* parent) : QMainWindow(parent) {
  SetProgramFolder(programFolder);
  setObjectName(QStringLiteral("StartForm"));
  setWindowTitle(QStringLiteral("Proctorium"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientArea"));
  client->setFixedSize(486, 287);
  setCentralWidget(client);

  FileListBox1 = new TFileListBox(client);
  FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
  FileListBox1->SetMask(QStringLiteral("*.qst"));
  FileListBox1->setGeometry(8, 8, 137, 233);
  FileListBox1->setToolTip(QStringLiteral("List of the question sets available"));
  FileListBox1->setAccessibleName(QStringLiteral("Question sets"));

  Panel1 = new QFrame(client);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Box | QFrame::Plain);
  Panel1->setGeometry(152, 8, 324, 233);
  auto* column = new QVBoxLayout(Panel1);
  column->setContentsMargins(2, 2, 2, 2);
  column->setSpacing(0);
  Image1 = new TImage(Panel1);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setFixedSize(320, 50);
  column->addWidget(Image1);
  auto* panel2 = new QWidget(Panel1);
  panel2->setObjectName(QStringLiteral("Panel2"));
  panel2->setFixedHeight(10);
  column->addWidget(panel2);
  auto* row = new QHBoxLayout;
  row->setSpacing(0);
  auto* panel3 = new QWidget(Panel1);
  panel3->setObjectName(QStringLiteral("Panel3"));
  panel3->setFixedWidth(6);
  row->addWidget(panel3);
  Memo1 = new QPlainTextEdit(Panel1);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  Memo1->setFrameStyle(QFrame::NoFrame);
  Memo1->setToolTip(QStringLiteral("The question set summary"));
  Memo1->setAccessibleName(QStringLiteral("Summary of the highlighted set"));
  {
    QPalette pal = Memo1->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Window));
    Memo1->setPalette(pal);
  }
  row->addWidget(Memo1);
  column->addLayout(row, 1);

  btnStart = MakeButton(client, "btnStart", QStringLiteral("&Start test"), QStringLiteral("Run the highlighted test"),
                        {16, 254, 60, 20}, ButtonFontSize);
  btnStart->setDefault(true);
  btnEdit = MakeButton(client, "btnEdit", QStringLiteral("&Edit"), QStringLiteral("Edit the highlighted question set"),
                       {100, 254, 60, 20}, ButtonFontSize);
  btnAdd = MakeButton(client, "btnAdd", QStringLiteral("A&dd"), QStringLiteral("Add a new question set"),
                      {168, 254, 60, 20}, ButtonFontSize);
  btnDelete = MakeButton(client, "btnDelete", QStringLiteral("De&lete"),
                         QStringLiteral("Delete the highlighted question set (cannot be undone)"), {236, 254, 60, 20},
                         ButtonFontSize);
  btnHelp = MakeButton(client, "btnHelp", QStringLiteral("Hel&p"), QString(), {340, 254, 60, 20}, ButtonFontSize);
  btnClose = MakeButton(client, "btnClose", QStringLiteral("E&xit"), QStringLiteral("Exit this program"),
                        {408, 254, 60, 20}, ButtonFontSize);
  GoToWeb1 = new TGoToWeb(this);
  GoToWeb1->BrowserState = gwNormal;
  SetHelpLauncher(GoToWeb1);

  Application1 = menuBar()->addMenu(QStringLiteral("&Application"));
  Application1->setObjectName(QStringLiteral("Application1"));
  ShowHints1 = MakeItem(Application1, "ShowHints1", QStringLiteral("Show Hints"), true);
  FontSizeSmall1 = MakeItem(Application1, "FontSizeSmall1", QStringLiteral("Font Size - Small"), true);
  FontSizeMedium1 = MakeItem(Application1, "FontSizeMedium1", QStringLiteral("Font Size - Medium"), true);
  FontsizeLarge1 = MakeItem(Application1, "FontsizeLarge1", QStringLiteral("Font size - Large"), true);
  FontSize16 = MakeItem(Application1, "FontSize16", QStringLiteral("Font Size - 16 points"), true);
  FontSize20 = MakeItem(Application1, "FontSize20", QStringLiteral("Font Size - 20 points"), true);
  FontSize24 = MakeItem(Application1, "FontSize24", QStringLiteral("Font Size - 24 points"), true);
  N1 = MakeSeparator(Application1, "N1");
  ElapsedTime1 = MakeItem(Application1, "ElapsedTime1", QStringLiteral("Elapsed Time"), true);
  TimeRemaining1 = MakeItem(Application1, "TimeRemaining1", QStringLiteral("Time Remaining"), true);
  N3 = MakeSeparator(Application1, "N3");
  Administrator1 = MakeItem(Application1, "Administrator1", QStringLiteral("Administrator"));
  TestSettings1 = MakeItem(Application1, "TestSettings1", QStringLiteral("&Test settings\u2026"));
  UnfinishedTests1 = MakeItem(Application1, "UnfinishedTests1", QStringLiteral("&Unfinished tests\u2026"));
  N2 = MakeSeparator(Application1, "N2");
  MenuExit = MakeItem(Application1, "MenuExit", QStringLiteral("E&xit"));
  MenuResults = menuBar()->addAction(QStringLiteral("&Results"));
  MenuResults->setObjectName(QStringLiteral("MenuResults"));
  // The highlighted set on paper: the questions, and separately the key.
  Print1 = menuBar()->addMenu(QStringLiteral("Pri&nt"));
  Print1->setObjectName(QStringLiteral("Print1"));
  PrintPaper1 = MakeItem(Print1, "PrintPaper1", QStringLiteral("Print &question paper..."));
  PrintKey1 = MakeItem(Print1, "PrintKey1", QStringLiteral("Print answer &key..."));
  MakeSeparator(Print1, "N5");
  PdfPaper1 = MakeItem(Print1, "PdfPaper1", QStringLiteral("Export question paper as &PDF..."));
  PdfKey1 = MakeItem(Print1, "PdfKey1", QStringLiteral("Export answer key as P&DF..."));
  for (auto [item, key, pdf] : {std::tuple{PrintPaper1, false, false}, std::tuple{PrintKey1, true, false},
                                std::tuple{PdfPaper1, false, true}, std::tuple{PdfKey1, true, true}})
    connect(item, &QAction::triggered, this,
            [this, key = key, pdf = pdf] { PrintSetFile(this, FileListBox1->FileName(), key, pdf); });
  // Versions for a class on paper, with answer sheets to scan back in.
  MakeSeparator(Print1, "N6");
  PaperVersions1 = MakeItem(Print1, "PaperVersions1", QStringLiteral("Paper &versions\u2026"));
  connect(PaperVersions1, &QAction::triggered, this, [this] { PrintPaperVersions(this, FileListBox1->FileName()); });
  // Filled answer sheets back from the scanner, scored into the logs.
  ScoreScans1 = MakeItem(Print1, "ScoreScans1", QStringLiteral("&Score scanned sheets\u2026"));
  connect(ScoreScans1, &QAction::triggered, this, [this] { ScoreScansClick(); });
  Help1 = menuBar()->addMenu(QStringLiteral("&Help"));
  Help1->setObjectName(QStringLiteral("Help1"));
  MenuHelpIndex = MakeItem(Help1, "MenuHelpIndex", QStringLiteral("Help &Index"));
  N4 = MakeSeparator(Help1, "N4");
  About = MakeItem(Help1, "About", QStringLiteral("&About"));

  // The menu's checkable items act on their own marks, not as a group.
  connect(ShowHints1, &QAction::triggered, this, [this] { Guarded([this] { SaveOptions(); }); });
  connect(FontSizeSmall1, &QAction::triggered, this, [this] { FontSizeClick(FontSizeSmall1, 8); });
  connect(FontSizeMedium1, &QAction::triggered, this, [this] { FontSizeClick(FontSizeMedium1, 10); });
  connect(FontsizeLarge1, &QAction::triggered, this, [this] { FontSizeClick(FontsizeLarge1, 12); });
  connect(FontSize16, &QAction::triggered, this, [this] { FontSizeClick(FontSize16, 16); });
  connect(FontSize20, &QAction::triggered, this, [this] { FontSizeClick(FontSize20, 20); });
  connect(FontSize24, &QAction::triggered, this, [this] { FontSizeClick(FontSize24, 24); });
  connect(ElapsedTime1, &QAction::triggered, this, [this] { TimeModeClick(ElapsedTime1); });
  connect(TimeRemaining1, &QAction::triggered, this, [this] { TimeModeClick(TimeRemaining1); });
  connect(Administrator1, &QAction::triggered, this, [this] { AdministratorClick(); });
  connect(TestSettings1, &QAction::triggered, this, [this] { TestSettingsClick(); });
  connect(UnfinishedTests1, &QAction::triggered, this, [this] { UnfinishedTestsClick(); });
  connect(MenuExit, &QAction::triggered, this, [this] { close(); });
  connect(MenuResults, &QAction::triggered, this, [this] { MenuResultsClick(); });
  connect(MenuHelpIndex, &QAction::triggered, this, [this] { ShowHelpPage("start.htm"); });
  connect(About, &QAction::triggered, this, [] { ExecModal(AboutBox); });

  connect(btnStart, &QPushButton::clicked, this, [this] { btnStartClick(); });
  connect(btnEdit, &QPushButton::clicked, this, [this] { btnEditClick(); });
  connect(btnAdd, &QPushButton::clicked, this, [this] { btnAddClick(); });
  connect(btnDelete, &QPushButton::clicked, this, [this] { btnDeleteClick(); });
  connect(btnHelp, &QPushButton::clicked, this, [this] { ShowHelpPage("main.htm"); });
  connect(btnClose, &QPushButton::clicked, this, [this] { close(); });
  // Any change of the highlighted row, by mouse or keys, shows that set.
  connect(FileListBox1, &QListWidget::currentRowChanged, this, [this] {
    if (!Refreshing_) FileListBox1Click();
  });
  connect(FileListBox1, &QListWidget::itemDoubleClicked, this, [this] { btnStartClick(); });

  setFixedSize(sizeHint());
  if (QScreen* screen = QGuiApplication::primaryScreen()) move(screen->availableGeometry().center() - rect().center());
  qApp->installEventFilter(this);
  SetSettingsHolder(this);
  SetWindowHelpPage(this, "main.htm");
  SetHelpHandler([](const std::string& page) { ShowHelpPage(page); });
}

void TStartForm::FitToFont() {
  // The list is widened for the longest name (up to a limit that grows with
  // the font; beyond it the row's tip shows the whole name), and the summary
  // grows with the font too, so a large font still shows whole names and a
  // few lines of the description. Up to the default font nothing moves.
  auto* client = centralWidget();
  const double scale = FontGrowth(font());
  const int frame = 2 * FileListBox1->frameWidth();
  const int scrollBar = FileListBox1->verticalScrollBar()->sizeHint().width();
  const int listWidth =
      std::clamp(FileListBox1->WidestName() + frame + scrollBar + 8, 137, static_cast<int>((137 + 150) * scale));
  const int extra = listWidth - 137;
  const int wider = static_cast<int>((scale - 1) * 162);
  const int taller = static_cast<int>((scale - 1) * 116);
  FileListBox1->setGeometry(8, 8, listWidth, 233 + taller);
  Panel1->setGeometry(152 + extra, 8, 324 + wider, 233 + taller);
  // The buttons keep 8 points up to the default font and grow with it
  // beyond, each at least its design size.
  const int buttonPoints = std::max(ButtonFontSize, static_cast<int>(ButtonFontSize * scale));
  int buttonHeight = 20;
  for (QPushButton* b : {btnStart, btnEdit, btnAdd, btnDelete, btnHelp, btnClose}) {
    SetPointSize(b, buttonPoints);
    b->resize(std::max(60, b->sizeHint().width()), std::max(20, b->sizeHint().height()));
    buttonHeight = std::max(buttonHeight, b->height());
  }
  const int buttonTop = 254 + taller;
  btnStart->move(16, buttonTop);
  btnEdit->move(btnStart->x() + btnStart->width() + 24, buttonTop);
  btnAdd->move(btnEdit->x() + btnEdit->width() + 8, buttonTop);
  btnDelete->move(btnAdd->x() + btnAdd->width() + 8, buttonTop);
  const int rightGroup = btnHelp->width() + 8 + btnClose->width() + 18;
  const int clientWidth = std::max(486 + extra + wider, btnDelete->x() + btnDelete->width() + 24 + rightGroup);
  Panel1->resize(clientWidth - 10 - Panel1->x(), Panel1->height());
  btnClose->move(clientWidth - 18 - btnClose->width(), buttonTop);
  btnHelp->move(btnClose->x() - 8 - btnHelp->width(), buttonTop);
  client->setFixedSize(clientWidth, 287 + taller + buttonHeight - 20);
  // The menu bar follows the window font; the window's height follows it.
  if (layout()) layout()->invalidate();
  setFixedSize(sizeHint().expandedTo(QSize(client->width(), menuBar()->sizeHint().height() + client->height())));
  // Until the user has seen it, the window stays centred at its new size.
  if (!Placed_)
    if (QScreen* screen = QGuiApplication::primaryScreen())
      move(screen->availableGeometry().center() - rect().center());
}

TStartForm::~TStartForm() {
  SetSettingsHolder(nullptr);
  SetHelpLauncher(nullptr);
}

TTimeMode TStartForm::TimeMode() const { return ElapsedTime1->isChecked() ? TTimeMode::Elapsed : TTimeMode::Countdown; }
bool TStartForm::EnableAnswers() const { return AdminOptions->cbEnableAnswers->isChecked(); }
bool TStartForm::EnableClearResults() const { return AdminOptions->cbEnableClearResults->isChecked(); }
bool TStartForm::EnableRunningScore() const { return AdminOptions->cbEnableRunningScore->isChecked(); }
bool TStartForm::AllowEdits() const { return AdminOptions->cbAllowEdits->isChecked(); }
bool TStartForm::DeletePermitted() const { return AdminOptions->cbDeletePermitted->isChecked(); }
std::uint32_t TStartForm::ScreenColour() const { return AdminOptions->panelColour->Color(); }
int TStartForm::CountdownMinutes() const { return TimerValue->Minutes(); }
std::string TStartForm::SelectedSetFile() const { return FileListBox1->FileName(); }
QImage TStartForm::SelectedSetPicture() const { return Image1->Picture(); }
QPoint TStartForm::StartButtonAt() const { return pos() + btnStart->mapTo(this, QPoint(0, 0)); }

bool TStartForm::ShowHint() const { return WindowShowHint(this); }

void TStartForm::SetShowHint(bool on) { SetWindowShowHint(this, on); }

void TStartForm::SetFontSize(int points) {
  QFont f = font();
  f.setPointSize(points > 0 ? points : 8);
  setFont(f);
  // Menus are windows of their own and take no font from the window.
  for (QMenu* menu : menuBar()->findChildren<QMenu*>()) menu->setFont(f);
  FitToFont();
}

std::string TStartForm::OptionsRestoreAdvice() const {
  return std::string("The administrator options stay closed until the options file is restored: copy ") +
         OptionsFileName + " from the installation or from a backup into the program folder " + ProgramFolder() + ".";
}

void TStartForm::LoadExtraSettings() {
  const std::string path = ProgramPath(ExtraSettingsFileName);
  TExtraSettingsLoad load = ReadExtraSettings(path);
  AdminOptions->SetExtra(load.Settings);
  if (load.Problem.empty() || ExtraReported_) return;
  ExtraReported_ = true;
  // The defaults take the damaged file's place, so it is told once; the
  // options file is a file of its own and stays as it is.
  std::string text = load.Problem + "\n\nThe default settings for candidates and the pass mark are used.";
  try {
    WriteExtraSettings(path, load.Settings);
  } catch (const std::exception& e) {
    text += std::string("\n\n") + e.what();
  }
  MessageDlg(QString::fromStdString(text), TMsgDlgType::Warning, mbOK);
}

void TStartForm::LoadOptions() {
  LoadExtraSettings();
  TOptionsRecord o;
  try {
    o = ReadOptionsFile(ProgramPath(OptionsFileName));
  } catch (const std::exception& e) {
    // The password held now is not the one stored: never let it, or the
    // empty one held before any load, open the administrator options.
    OptionsTrusted_ = false;
    throw EFileError(std::string(e.what()) + "\n\n" + OptionsRestoreAdvice());
  }
  OptionsTrusted_ = true;
  ShowHints1->setChecked(o.ShowHints);
  AdminOptions->cbDeletePermitted->setChecked(o.DeletePermitted);
  AdminOptions->cbEnableAnswers->setChecked(o.EnableAnswers);
  AdminOptions->cbAllowEdits->setChecked(o.AllowEdits);
  AdminOptions->cbAllowEditsClick();
  AdminOptions->cbEnableClearResults->setChecked(o.EnableClearResults);
  SetFontSize(o.FontSize);
  AdminOptions->panelColour->SetColor(o.ScreenColour);
  PasswordDlg->SetAdminPassword(o.AdminPassword);
  AdminOptions->cbEnableRunningScore->setChecked(o.EnableRunningScore);
  ElapsedTime1->setChecked(o.TimeMode != TTimeMode::Countdown);
  TimeRemaining1->setChecked(o.TimeMode == TTimeMode::Countdown);
  TimerValue->edTimeLimit->setText(QString::number(o.CountdownMinutes));

  if (o.FontSize == 8) FontSizeSmall1->setChecked(true);
  if (o.FontSize == 10) FontSizeMedium1->setChecked(true);
  if (o.FontSize == 12) FontsizeLarge1->setChecked(true);
  for (auto [item, points] : {std::pair{FontSize16, 16}, std::pair{FontSize20, 20}, std::pair{FontSize24, 24}})
    item->setChecked(o.FontSize == points);
  SetShowHint(o.ShowHints);
  Administrator1->setVisible(o.AllowEdits);
  N3->setVisible(o.AllowEdits);
  btnDelete->setEnabled(o.DeletePermitted);
  btnEdit->setVisible(o.AllowEdits);
  btnAdd->setVisible(o.AllowEdits);
  btnDelete->setVisible(o.AllowEdits);
  ResultsForm->btnClear->setVisible(o.EnableClearResults);
  Form1->btnView->setVisible(o.EnableAnswers);
}

void TStartForm::SaveOptions() {
  // Writing now would store a password that is not the administrator's.
  if (!OptionsTrusted_)
    throw EFileError("The settings cannot be saved while the options file is damaged or missing.\n\n" +
                     OptionsRestoreAdvice());
  TOptionsRecord o;
  // The menu's mark, not the window's hint state: that follows only once
  // the options are read back.
  o.ShowHints = ShowHints1->isChecked();
  o.DeletePermitted = DeletePermitted();
  o.EnableAnswers = EnableAnswers();
  o.AllowEdits = AllowEdits();
  o.EnableClearResults = EnableClearResults();
  o.FontSize = static_cast<std::uint8_t>(FontSize() & 0xFF);
  o.ScreenColour = ScreenColour();
  o.AdminPassword = PasswordDlg->AdminPassword();
  o.EnableRunningScore = EnableRunningScore();
  o.TimeMode = TimeMode();
  o.CountdownMinutes = CountdownMinutes();
  WriteOptionsFile(ProgramPath(OptionsFileName), o);
  WriteExtraSettings(ProgramPath(ExtraSettingsFileName), AdminOptions->Extra());
  LoadOptions();
}

void TStartForm::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (!e->spontaneous()) FormShow();
}

void TStartForm::FormShow() {
  Guarded([this] { LoadOptions(); });
  Refreshing_ = true;
  FileListBox1->SetDirectory(ProgramPath("Tests\\"));
  Refreshing_ = false;
  if (FileListBox1->count() == 0) {
    btnStart->setEnabled(false);
    btnEdit->setEnabled(false);
    btnDelete->setEnabled(false);
    Image1->setFixedHeight(0);
    Memo1->setPlainText(QStringLiteral("No question databases found"));
    return;
  }
  FitToFont();
  Placed_ = true;
  // Sets may have appeared since the strip was collapsed for an empty list.
  Image1->setFixedHeight(50);
  Refreshing_ = true;
  FileListBox1->SetItemIndex(std::max(0, HighlightRow(Highlight_)));
  Refreshing_ = false;
  Highlight_.clear();
  btnStart->setEnabled(true);
  btnEdit->setEnabled(true);
  btnDelete->setEnabled(DeletePermitted());
  ShowSummary();
  if (!AttemptsScheduled_) {
    AttemptsScheduled_ = true;
    // After the window is up, so the question comes over it; once a run.
    QTimer::singleShot(0, this, [this] {
      if (!AttemptsOffered_) OfferUnfinishedAttempts();
    });
  }
}

void TStartForm::ShowSummary() {
  const std::string fileName = FileListBox1->FileName();
  if (fileName.empty()) return;
  auto set = std::make_unique<TQuestionSet>();
  bool newFormat = false;
  try {
    newFormat = set->LoadFromFile(fileName);
  } catch (const std::exception& e) {
    // The summary cannot be trusted, so nothing may be started from it.
    Memo1->clear();
    btnStart->setEnabled(false);
    btnEdit->setEnabled(false);
    ShowException(e);
    return;
  }
  const TQuestion description = set->GetCurrent();
  Memo1->setPlainText(FromSetText(description.Text, set->Encoding == TTextEncoding::Utf8));
  if (!description.ExhibitFile.empty()) {
    // A picture that is missing or unreadable shows the logo: the previous
    // set's picture would belong to the wrong set.
    bool loaded = false;
    try {
      loaded = LoadImageFile(Image1, PicturePath(description.ExhibitFile));
    } catch (const std::exception& e) {
      ShowException(e);
    }
    if (!loaded) Image1->SetPicture(Logo());
  } else {
    Image1->SetPicture(Logo());
  }
  btnStart->setEnabled(set->LastIndex > 0);
  btnEdit->setEnabled(newFormat);
  btnDelete->setEnabled(DeletePermitted());
  if (!newFormat) {
    Memo1->setPlainText(QStringLiteral("OLD FILE FORMAT - EDITING NOT PERMITTED\n") + QString(40, QChar('=')) +
                        QStringLiteral("\n\n") + Memo1->toPlainText());
  }
  if (newFormat && set->ProtectedSet && set->OwnerCode != 0) btnEdit->setEnabled(set->OwnerCode == UserCode());
}

void TStartForm::FileListBox1Click() { ShowSummary(); }

int TStartForm::HighlightRow(const std::string& fileName) {
  if (fileName.empty()) return -1;
  const QString wanted = QString::fromStdString(ExtractFileName(fileName));
  for (int i = 0; i < FileListBox1->count(); ++i)
    if (FileListBox1->item(i)->text().compare(wanted, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

void TStartForm::ScoreScansClick() {
  TScoreScansSetup setup;
  std::string problem;
  // An unreadable class list leaves the candidates known by their IDs only.
  setup.ClassList = ReadClassListFile(ProgramPath(ClassListRelative), &problem).Candidates;
  setup.PassMark = AdminOptions->Extra().PassMark;
  ScoreScannedSheets(this, FileListBox1->FileName(), setup);
}

void TStartForm::btnStartClick() {
  if (FileListBox1->count() == 0) return;
  if (FileListBox1->ItemIndex() < 0) FileListBox1->SetItemIndex(0);
  TTestSettings set;
  try {
    set = ReadTestSettings(FileListBox1->FileName());
  } catch (const std::exception&) {
    // The test window reports it and runs the set without settings.
  }
  if (!MayStart(set)) return;
  const TExtraSettings extra = AdminOptions->Extra();
  Form1->CandidateName.clear();
  Form1->CandidateId.clear();
  Form1->PassMark = extra.PassMark;
  if (extra.AskCandidateName) {
    std::string problem;
    TClassList list = ReadClassListFile(ProgramPath(ClassListRelative), &problem);
    // An unreadable list must not keep the class from its test: any name
    // is taken then, and the teacher is told why.
    if (!problem.empty())
      MessageDlg(QString::fromStdString(problem + "\n\nAny name is accepted until the class list is loaded again."),
                 TMsgDlgType::Warning, mbOK);
    TCandidateDlg who(this);
    who.Prepare(extra.AskCandidateId, std::move(list.Candidates), extra.AllowUnlisted);
    if (ExecModal(&who) != mrOk) return;
    Form1->CandidateName = who.CandidateName();
    Form1->CandidateId = who.CandidateId();
  }
  // A clock the teacher fixed is not the candidate's to change.
  if (set.Clock == TClockRule::AsUser && TimeRemaining1->isChecked()) {
    if (ExecModal(TimerValue) != mrOk) return;
  }
  if (!set.ExamMode) {
    ExecModal(Form1);
    return;
  }
  RunExam();
}

void TStartForm::RunExam() {
  // Nothing of the start window (the results, the editor, the options) is
  // within reach while an exam runs.
  const int index = FileListBox1->ItemIndex();
  hide();
  ExecModal(Form1);
  show();
  if (index >= 0 && index < FileListBox1->count()) FileListBox1->SetItemIndex(index);
  ShowSummary();
}

namespace {

QString AttemptSummary(const TAttempt& a) {
  QString who = QString::fromStdString(a.CandidateName);
  if (!a.CandidateId.empty()) who += QStringLiteral(" (%1)").arg(QString::fromStdString(a.CandidateId));
  return QStringLiteral("%1%2, started %3: %4 of %5 questions answered, %6 used")
      .arg(QString::fromStdString(a.SetFile), who.isEmpty() ? QString() : QStringLiteral(", ") + who,
           QString::fromStdString(a.Started))
      .arg(a.Answered())
      .arg(a.Questions.size())
      .arg(QString::fromStdString(FormatTime(a.SecondsUsed)).mid(2));
}

}  // namespace

bool TStartForm::TakeUpAttempt(TUnfinishedAttempt attempt, bool endAtOnce) {
  const auto found = FileListBox1->findItems(QString::fromStdString(attempt.Attempt.SetFile), Qt::MatchFixedString);
  if (found.isEmpty()) {
    MessageDlg(QStringLiteral("The question set %1 of this unfinished test is no longer there.")
                   .arg(QString::fromStdString(attempt.Attempt.SetFile)),
               TMsgDlgType::Information, mbOK);
    return false;
  }
  FileListBox1->setCurrentItem(found.first());
  ShowSummary();
  Form1->ResumeNext(std::move(attempt), endAtOnce);
  RunExam();
  return true;
}

void TStartForm::OfferUnfinishedAttempts() {
  AttemptsOffered_ = true;
  if (FileListBox1->count() == 0) return;
  for (TUnfinishedAttempt& a : FindUnfinishedAttempts(ProgramPath(AttemptsRelative))) {
    const QString text =
        QStringLiteral("An unfinished test was found:\n%1.\nResume it now ?").arg(AttemptSummary(a.Attempt));
    if (MessageDlg(text, TMsgDlgType::Confirmation, mbYes | mbNo, mbYes) != mrYes) continue;
    // One at a time: the others stay for the next start or the teacher.
    if (TakeUpAttempt(std::move(a), /*endAtOnce=*/false)) return;
  }
}

void TStartForm::UnfinishedTestsClick() {
  if (!AdministratorAdmitted()) return;
  int damaged = 0;
  std::vector<TUnfinishedAttempt> found = FindUnfinishedAttempts(ProgramPath(AttemptsRelative), &damaged);
  if (found.empty()) {
    MessageDlg(damaged > 0 ? QStringLiteral("There are no unfinished tests that can be read.")
                           : QStringLiteral("There are no unfinished tests."),
               TMsgDlgType::Information, mbOK);
    return;
  }
  for (TUnfinishedAttempt& a : found) {
    const QString text = QStringLiteral(
                             "Unfinished test: %1.\nYes ends it and scores it as it stands, No discards it, Cancel "
                             "leaves it.")
                             .arg(AttemptSummary(a.Attempt));
    const int answer = MessageDlg(text, TMsgDlgType::Confirmation, mbYes | mbNo | mbCancel, mbCancel);
    if (answer == mrYes) {
      TakeUpAttempt(std::move(a), /*endAtOnce=*/true);
    } else if (answer == mrNo) {
      if (MessageDlg(QStringLiteral("Discard this unfinished test ? Its answers are lost."), TMsgDlgType::Warning,
                     mbYes | mbNo, mbNo) == mrYes)
        RemoveAttempt(a);
    }
  }
}

bool TStartForm::MayStart(const TTestSettings& set) {
  const std::string now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
  switch (OpenStateAt(set, now)) {
    case TOpenState::NotYet:
      MessageDlg(QStringLiteral("This test opens at %1.").arg(QString::fromStdString(set.OpenFrom)),
                 TMsgDlgType::Information, mbOK);
      return false;
    case TOpenState::Closed:
      MessageDlg(QStringLiteral("This test closed at %1.").arg(QString::fromStdString(set.OpenUntil)),
                 TMsgDlgType::Information, mbOK);
      return false;
    case TOpenState::Open:
      break;
  }
  if (set.StartPassword.empty()) return true;
  TPasswordDlg prompt(this);
  prompt.setObjectName(QStringLiteral("StartPasswordDlg"));
  prompt.setWindowTitle(QStringLiteral("Test password"));
  prompt.SetAdminPassword(set.StartPassword);
  return ExecModal(&prompt) == mrOk;
}

void TStartForm::TestSettingsClick() {
  const std::string fileName = FileListBox1->FileName();
  if (fileName.empty()) return;
  if (!AdministratorAdmitted()) return;
  TTestSettings current;
  try {
    current = ReadTestSettings(fileName);
  } catch (const std::exception& e) {
    // Reported, and replaced by whatever is chosen now.
    ShowException(e);
  }
  TTestSettingsDlg dlg(this);
  dlg.Load(current, QString::fromStdString(ExtractFileName(fileName)));
  if (ExecModal(&dlg) != mrOk) return;
  Guarded([&] { WriteTestSettings(fileName, dlg.Result()); });
}

void TStartForm::btnEditClick() {
  if (FileListBox1->count() == 0) return;
  if (FileListBox1->ItemIndex() < 0) FileListBox1->SetItemIndex(0);
  ExecModal(AddEditForm);
  ShowSummary();
}

void TStartForm::btnAddClick() {
  auto dlg = std::make_unique<TGetFilename>(this);
  if (ExecModal(dlg.get()) != mrOk) return;
  const std::string name = dlg->GetSetName();
  try {
    // A name with a separator or a character that Windows refuses would
    // create the file elsewhere or not at all: refuse it before anything
    // is written.
    if (!ValidSetName(name)) throw EFileError("Cannot create file " + ProgramPath("Tests\\") + name + ".qst");
    const std::string target = ProgramPath("Tests\\" + name + ".qst");
    bool copy = true;
    if (FileExists(target))
      copy = MessageDlg(QStringLiteral("A question set already exists with\nthat name. Overwrite ? "),
                        TMsgDlgType::Warning, mbYes | mbNo, mbNo) == mrYes;
    if (copy) {
      FileCopy(ProgramPath("Tests\\Blank.dat"), target);
      // A new set starts without the settings of the one it replaced.
      DeleteTestSettings(target);
      // Edit then opens the set just added, not the one highlighted before.
      Highlight_ = target;
    }
  } catch (const std::exception& e) {
    ShowException(e);
  }
  dlg.reset();
  FormShow();
}

void TStartForm::btnDeleteClick() {
  const std::string fileName = FileListBox1->FileName();
  if (fileName.empty()) return;
  const QString question =
      QStringLiteral("Are you sure you want to delete [%1] ?").arg(QString::fromStdString(ExtractFileName(fileName)));
  if (MessageDlg(question, TMsgDlgType::Confirmation, mbYes | mbNo, mbNo) != mrYes) return;
  // A file that cannot be deleted simply stays in the refreshed list.
  std::error_code ec;
  if (std::filesystem::remove(ToFsPath(fileName), ec)) {
    Guarded([&] { DeleteTestSettings(fileName); });
    std::filesystem::remove(ToFsPath(TAddEditForm::RecoveryFile(fileName)), ec);
  }
  FormShow();
}

void TStartForm::FileCopy(const std::string& source, const std::string& destination) {
  CopyFileSafely(source, destination);
}

bool TStartForm::AdministratorAdmitted() {
  if (!OptionsTrusted_) {
    // The stored password is checked, and the options file may have been
    // restored since it was last read.
    try {
      LoadOptions();
    } catch (const std::exception& e) {
      ShowException(e);
      return false;
    }
  }
  return ExecModal(PasswordDlg) == mrOk;
}

void TStartForm::AdministratorClick() {
  if (!AdministratorAdmitted()) return;
  if (ExecModal(AdminOptions) == mrOk)
    Guarded([this] { SaveOptions(); });
  else
    Guarded([this] { LoadOptions(); });
}

void TStartForm::MenuResultsClick() { ExecModal(ResultsForm); }

void TStartForm::FontSizeClick(QAction* item, int points) {
  SetFontSize(points);
  FontSizeSmall1->setChecked(item == FontSizeSmall1);
  FontSizeMedium1->setChecked(item == FontSizeMedium1);
  FontsizeLarge1->setChecked(item == FontsizeLarge1);
  for (QAction* large : {FontSize16, FontSize20, FontSize24}) large->setChecked(item == large);
  Guarded([this] { SaveOptions(); });
}

void TStartForm::TimeModeClick(QAction* item) {
  ElapsedTime1->setChecked(item == ElapsedTime1);
  TimeRemaining1->setChecked(item == TimeRemaining1);
  Guarded([this] { SaveOptions(); });
}

bool TStartForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers, QObject* target) {
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
      !(modifiers & (Qt::AltModifier | Qt::ControlModifier | Qt::ShiftModifier))) {
    // A main window has no default button of its own: Enter presses the
    // focused button, anywhere else it starts the highlighted test.
    if (auto* focused = qobject_cast<QPushButton*>(target)) {
      if (focused->isEnabled()) focused->click();
      return true;
    }
    if (btnStart->isEnabled() && btnStart->isVisible()) btnStartClick();
    return true;
  }
  if (AllowEdits()) return false;
  if (key != Qt::Key_A || !(modifiers & Qt::ControlModifier)) return false;
  AdministratorClick();
  return true;
}

void TStartForm::keyPressEvent(QKeyEvent* e) {
  if (!FormKeyDown(e->key(), e->modifiers(), this)) QMainWindow::keyPressEvent(e);
}

bool TStartForm::eventFilter(QObject* watched, QEvent* event) {
  // Keyboard preview: the window sees keys before whichever control has the
  // focus, but only its own controls' keys.
  if (event->type() == QEvent::KeyPress && watched != this) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w && w->window() == this) {
      auto* k = static_cast<QKeyEvent*>(event);
      if (FormKeyDown(k->key(), k->modifiers(), watched)) return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace proctorium
