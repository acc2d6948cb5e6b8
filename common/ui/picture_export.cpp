#include "common/ui/picture_export.h"

#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include "common/messages.h"
#include "common/ui/qt_text.h"

namespace kv {

DSavePicture::DSavePicture(QWidget* parent)
    : Dial(parent, kDlgSavePicture, kHelpSavePicture, kDialButtonsRow) {
  setWindowTitle(QString::fromUtf8("Сохранить рисунок"));
  auto* layout = new QVBoxLayout(this);
  auto* name_row = new QHBoxLayout;
  name_row->addWidget(new QLabel(QString::fromUtf8("Имя файла:"), this));
  name_ = AddEdit(kIdPictureName, kMaxSavedPictureName);
  name_row->addWidget(name_, 1);
  layout->addLayout(name_row);
  auto* formats = new QGroupBox(QString::fromUtf8("Формат"), this);
  RegisterControl(kIdPictureFormats, formats);
  auto* format_row = new QHBoxLayout(formats);
  bmp_ = new QRadioButton(QStringLiteral("BMP"), formats);
  jpeg_ = new QRadioButton(QStringLiteral("JPEG"), formats);
  RegisterControl(kIdPictureBmp, bmp_);
  RegisterControl(kIdPictureJpeg, jpeg_);
  jpeg_->setChecked(true);
  format_row->addWidget(bmp_);
  format_row->addWidget(jpeg_);
  layout->addWidget(formats);
  if (ButtonBox()) layout->addWidget(ButtonBox());
  name_->setFocus();
}

PictureFormat DSavePicture::Format() const {
  return bmp_->isChecked() ? PictureFormat::kBmp : PictureFormat::kJpeg;
}

std::string DSavePicture::FileName() const {
  return PictureFileName(EditText(kIdPictureName), Format());
}

bool DSavePicture::CanClose() {
  if (!EditText(kIdPictureName).empty()) return true;
  WarningKey("PicNoNm");
  name_->setFocus();
  return false;
}

bool WritePictureFile(const QImage& picture, const QString& path, PictureFormat format) {
  if (picture.isNull()) return false;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  QImageWriter writer(&file, format == PictureFormat::kBmp ? "bmp" : "jpeg");
  if (format == PictureFormat::kJpeg) writer.setQuality(90);
  // Without alpha: both formats hold plain colour pixels.
  if (!writer.write(picture.convertToFormat(QImage::Format_RGB32))) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

QString SavePicture(QWidget* parent, const std::function<QImage()>& capture) {
  QString path;
  PictureFormat format;
  {
    DSavePicture dialog(parent);
    if (RunDialog(dialog) != kCmdOk) return {};
    path = QDir::current().absoluteFilePath(FromCp1251(dialog.FileName()));
    format = dialog.Format();
  }
  if (!WritePictureFile(capture(), path, format)) {
    WarningFormat("NoWr%s", ToCp1251(QDir::toNativeSeparators(path)));
    return {};
  }
  return path;
}

}  // namespace kv
