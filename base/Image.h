#pragma once
// A picture box: holds one picture and draws it at natural size, centred,
// or stretched to the box.

#include <QImage>
#include <QWidget>

namespace proctorium {

class TImage : public QWidget {
  Q_OBJECT
 public:
  explicit TImage(QWidget* parent = nullptr);

  // Loads a picture file. False (picture unchanged) when the file cannot be
  // read as a picture; error then says why.
  bool LoadFromFile(const QString& path, QString* error = nullptr);
  void SetPicture(const QImage& image);
  const QImage& Picture() const { return Picture_; }
  void Clear();
  bool Empty() const { return Picture_.isNull(); }

  bool Stretch = false;   // scale the picture to the box
  bool Center = false;    // centre an unstretched picture in the box
  bool AutoSize = false;  // the box takes the picture's natural size

  void SetStretch(bool on);
  void SetCenter(bool on);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QImage Picture_;
};

}  // namespace proctorium
