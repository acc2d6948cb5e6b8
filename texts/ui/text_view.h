// TextView: the scrolling view of every text window. It shows a text file (read
// again whenever the file changed on disk, so the window always shows what the file
// holds) or a fixed list of lines (a help topic). Every line is cut at "@@". In help
// mode a line's link text is drawn in the link colour and a click on a line with a
// link asks for its target topic.
#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "texts/text_file.h"

namespace kv {

class TextView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit TextView(QWidget* parent = nullptr);

  void ShowFile(const std::filesystem::path& path);
  void ShowLines(std::vector<std::string> lines_cp1251);
  // Help lines: link spans in the link colour, a click on a line follows its link.
  void SetHelpLinks(bool on);
  void SetTextFont(const std::string& face_cp1251, int point_size);
  // Windows RGB values 0x00BBGGRR.
  void SetColours(uint32_t text, uint32_t link, uint32_t background);

  const std::filesystem::path& File() const { return file_; }
  const std::string& Face() const { return face_; }
  int FontSize() const { return font_size_; }
  // The lines shown now; a shown file is read again first when it changed.
  const std::vector<std::string>& Lines();
  TextExtent Extent() const { return extent_; }

  int LineHeight() const { return line_height_; }
  int CharWidth() const { return char_width_; }
  int FirstLine() const;
  int FirstColumn() const;
  // The line under a vertical position of the viewport (it may lie past the end).
  int LineAt(int y) const;
  QColor TextColour() const { return text_colour_; }
  QColor LinkColour() const { return link_colour_; }

 signals:
  void LinkActivated(const QString& topic);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  struct FileStamp {
    bool present = false;
    uintmax_t size = 0;
    std::filesystem::file_time_type time{};
    bool operator==(const FileStamp&) const = default;
  };
  void Refresh();
  void SetContent(std::vector<std::string> lines);
  void UpdateScrollBars();
  void DrawLine(QPainter& p, std::string_view shown, int y);

  std::filesystem::path file_;
  bool from_file_ = false;
  std::optional<FileStamp> stamp_;  // of the file as last read
  bool reported_missing_ = false;
  std::vector<std::string> lines_;
  TextExtent extent_;
  bool help_links_ = false;

  std::string face_;
  int font_size_ = 11;
  QFont font_;
  int line_height_ = 1;
  int char_width_ = 1;
  int ascent_ = 0;
  QColor text_colour_{Qt::black};
  QColor link_colour_{Qt::blue};
  QColor background_{Qt::white};
};

// A Windows RGB value (0x00BBGGRR) as a QColor.
QColor ColourOf(uint32_t rgb);

}  // namespace kv
