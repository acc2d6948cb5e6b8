// The MDI client: DKerCli arranges the children (Window menu), DCli paints the
// start-up picture while no child covers it.
#pragma once

#include <QImage>
#include <QMdiArea>
#include <string>

namespace kv {

class DKerCli : public QMdiArea {
  Q_OBJECT
 public:
  explicit DKerCli(QWidget* parent = nullptr);
  // The "Окна" menu: cascade, tile, arrange icons, close all (menu_commands.h).
  bool WindowCommand(int id);
  void ArrangeIcons();

 protected:
  void resizeEvent(QResizeEvent* e) override;
};

class DCli : public DKerCli {
  Q_OBJECT
 public:
  explicit DCli(QWidget* parent = nullptr);
  // The picture file chosen for this screen width (the "BMP" rule).
  const std::string& PictureFile() const { return picture_file_; }
  bool PictureLoaded() const { return !picture_.isNull(); }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  void LoadPicture();
  std::string picture_file_;
  QImage picture_;
  bool picture_tried_ = false;
};

}  // namespace kv
