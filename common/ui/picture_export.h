// Saving what a window shows as a picture file (command 3102 of every child window):
// dialog 1204 asks for the name and the format, the window's client area is captured
// and written as BMP or JPEG by Qt's image writers.
#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <string>

#include "common/export_names.h"
#include "common/ui/dial.h"

class QLineEdit;
class QRadioButton;

namespace kv {

inline constexpr int kDlgSavePicture = 1204;
inline constexpr const char* kHelpSavePicture = "HBmp";
inline constexpr int kIdPictureName = 4002;
inline constexpr int kIdPictureFormats = 200;
inline constexpr int kIdPictureBmp = 101;
inline constexpr int kIdPictureJpeg = 102;
inline constexpr int kMaxSavedPictureName = 20;

// Dialog 1204: the file name (at most 20 characters, empty at the start) and the two
// format buttons, JPEG chosen at the start.
class DSavePicture : public Dial {
  Q_OBJECT
 public:
  explicit DSavePicture(QWidget* parent);

  PictureFormat Format() const;
  // The name with the extension rule applied (code page 1251).
  std::string FileName() const;

 protected:
  // An empty name is refused with a message.
  bool CanClose() override;

 private:
  QLineEdit* name_;
  QRadioButton* bmp_;
  QRadioButton* jpeg_;
};

// Writes the picture into a temporary file beside `path` and renames it into place:
// true when the file is complete; otherwise nothing is left behind and an existing
// file of that name is untouched.
bool WritePictureFile(const QImage& picture, const QString& path, PictureFormat format);

// The whole command: the dialog, then the capture (after the dialog has gone, so the
// window shows itself again), then the file, a relative name in the working
// directory. A failed write is reported with "NoWr%s" and the full path. Returns the
// path written, or empty.
QString SavePicture(QWidget* parent, const std::function<QImage()>& capture);

}  // namespace kv
