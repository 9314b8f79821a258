#include "editor/ExhibitManager.h"

#include <algorithm>

#include "base/AnsiText.h"
#include "base/Controls.h"
#include "base/FileDialogs.h"
#include "base/MessageDlg.h"
#include "base/ModalSeam.h"
#include "base/Pictures.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "base/core/Cp1252.h"
#include "base/core/FileIO.h"
#include "base/core/PathResolver.h"
#include "editor/ImageFit.h"
#include "questions/Converter.h"
#include "questions/core/ExhibitText.h"
#include "questions/core/ImportResult.h"

namespace proctorium {

namespace {

constexpr int PreviewSide = 300;

}  // namespace

TExhibitManager::TExhibitManager(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("ExhibitManager"));
  setWindowTitle(QStringLiteral("Select exhibit image"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  SetPointSize(this, 8);
  setFixedSize(520, 392);

  FileListBox1 = new TFileListBox(this);
  FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
  FileListBox1->SetMask(QStringLiteral("*.bmp"));
  FileListBox1->setGeometry(6, 8, 120, 306);
  FileListBox1->setToolTip(QStringLiteral("Select the relevant file (image is previewed)"));
  FileListBox1->SetItemHeight(16);

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Box | QFrame::Plain);
  Panel1->setGeometry(136, 8, 306, 306);

  Image1 = MakeImage(Panel1, "Image1", QStringLiteral("Image preview window"), {1, 1, PreviewSide, PreviewSide});
  Image1->SetCenter(true);

  btnSelect =
      MakeAutoDefaultButton(this, "btnSelect", QStringLiteral("Select"),
                            QStringLiteral("Select this image (inserts image in the test module)"), {452, 268, 60, 20});
  btnBrowse =
      MakeAutoDefaultButton(this, "btnBrowse", QStringLiteral("Browse..."),
                            QStringLiteral("Take a PNG, JPEG or BMP picture from another folder"), {452, 244, 60, 20});
  btnClose = MakeAutoDefaultButton(this, "btnClose", QStringLiteral("Close"),
                                   QStringLiteral("Close this window (no changes made)"), {452, 292, 60, 20});

  lblDescription = MakeLabel(this, "lblDescription",
                             QStringLiteral("&Description, read to candidates who cannot see the picture:"), {6, 322});
  memoDescription = new QPlainTextEdit(this);
  memoDescription->setObjectName(QStringLiteral("memoDescription"));
  memoDescription->setTabChangesFocus(true);
  memoDescription->setGeometry(6, 340, 506, 44);
  memoDescription->setToolTip(QStringLiteral("Optional: what the picture shows, in words"));
  memoDescription->setAccessibleName(QStringLiteral("Exhibit description"));
  lblDescription->setBuddy(memoDescription);
  setTabOrder(FileListBox1, memoDescription);
  setTabOrder(memoDescription, btnSelect);

  WarningPanel = new QFrame(this);
  WarningPanel->setObjectName(QStringLiteral("WarningPanel"));
  WarningPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  WarningPanel->setAutoFillBackground(true);
  QPalette pal = WarningPanel->palette();
  pal.setColor(QPalette::Window, Qt::yellow);
  pal.setColor(QPalette::WindowText, Qt::black);
  WarningPanel->setPalette(pal);
  WarningPanel->setGeometry(63, 128, 394, 65);
  Label1 = MakeLabel(
      WarningPanel, "Label1",
      QStringLiteral("WARNING - No BMP Images can be found in the 'Proctorium\\Tests' directory for use as exhibits"),
      {78, 19});
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setWordWrap(true);
  Label1->resize(237, 26);
  // Where the font wraps the warning onto more lines than the design's two,
  // the label grows and stays centred on the panel.
  if (const int needed = Label1->heightForWidth(Label1->width()); needed > Label1->height())
    Label1->setGeometry(78, std::max(2, (WarningPanel->height() - needed) / 2), 237,
                        std::min(needed, WarningPanel->height() - 4));
  WarningPanel->hide();

  // FormCreate: the picker lives only while it is shown, so the hint
  // setting taken now is current.
  SetShowHint(Settings().ShowHints());
  SetWindowHelpPage(this, "edit.htm");

  connect(FileListBox1, &QListWidget::currentRowChanged, this, [this] { FileListBox1Click(); });
  connect(FileListBox1, &QListWidget::itemDoubleClicked, this, [this] { FileListBox1DblClick(); });
  connect(btnSelect, &QPushButton::clicked, this, [this] { btnSelectClick(); });
  connect(btnClose, &QPushButton::clicked, this, [this] { done(mrCancel); });
  connect(btnBrowse, &QPushButton::clicked, this, [this] { btnBrowseClick(); });
}

void TExhibitManager::FormShow() {
  WarningPanel->hide();
  btnSelect->setEnabled(true);
  // Filling the list highlights nothing yet; the preview follows the
  // highlight set below.
  FileListBox1->blockSignals(true);
  FileListBox1->SetDirectory(ProgramPath("Tests\\"));
  FileListBox1->blockSignals(false);
  if (FileListBox1->count() == 0) {
    WarningPanel->show();
    WarningPanel->raise();
    btnSelect->setEnabled(false);
    return;
  }
  if (FileListBox1->ItemIndex() == 0)
    FileListBox1Click();
  else
    FileListBox1->SetItemIndex(0);
}

void TExhibitManager::FileListBox1Click() {
  if (FileListBox1->ItemIndex() < 0) return;
  memoDescription->setPlainText(FromAnsi(ReadExhibitText(FileListBox1->FileName())));
  bool loaded = false;
  try {
    loaded = LoadImageFile(Image1, FileListBox1->FileName());
  } catch (const std::exception& e) {
    ShowException(e);
  }
  // An unreadable file is neither previewed nor offered: Select waits for a
  // file that can be shown, the rest of the dialog stays usable.
  btnSelect->setEnabled(loaded);
  if (!loaded) {
    Image1->Clear();
    return;
  }
  FitPictureBox(Image1, PreviewSide);
}

void TExhibitManager::btnBrowseClick() {
  const QString file = GetOpenFileName(this, QStringLiteral("Choose a picture"), QString(),
                                       QStringLiteral("Pictures (*.png *.jpg *.jpeg *.bmp);;All files (*)"));
  if (file.isEmpty()) return;
  const std::string path = file.toStdString();
  std::string bytes, bitmap;
  if (!ReadWholeFile(path, bytes) || !ToBitmap(bytes, bitmap)) {
    MessageDlg(QStringLiteral("The picture cannot be read: ") + file, TMsgDlgType::Warning, mbOK);
    return;
  }
  // A bitmap comes in as it is; other pictures are converted.
  if (bytes.size() > 2 && bytes.compare(0, 2, "BM") == 0) bitmap = bytes;
  std::string stored;
  if (!Guarded([&] { stored = StorePicture(ProgramPath("Tests\\"), ExtractFileName(path), bitmap); })) return;
  FileListBox1->Update();
  WarningPanel->hide();
  const QString name = QString::fromStdString(Cp1252ToUtf8(stored));
  for (int i = 0; i < FileListBox1->count(); ++i)
    if (FileListBox1->item(i)->text().compare(name, Qt::CaseInsensitive) == 0) {
      FileListBox1->SetItemIndex(i);
      FileListBox1Click();
      break;
    }
}

void TExhibitManager::FileListBox1DblClick() {
  if (btnSelect->isEnabled()) btnSelectClick();
}

void TExhibitManager::btnSelectClick() {
  // A description that cannot be written does not keep the picture from
  // being chosen; the teacher is told and can try again.
  const std::string picture = FileName();
  if (!picture.empty() && ToAnsi(memoDescription->toPlainText()) != ReadExhibitText(picture))
    Guarded([&] { WriteExhibitText(picture, ToAnsi(memoDescription->toPlainText())); });
  done(mrOk);
}

}  // namespace proctorium
