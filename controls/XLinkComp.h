#pragma once
// TLink: a text label drawn as a hyperlink that opens its address with the
// desktop's default handler when it is clicked.

#include <QLabel>
#include <QString>
#include <QUrl>
#include <functional>

class TLink : public QLabel {
  Q_OBJECT

 public:
  // Opens an address; answers whether the desktop accepted it.
  using UrlOpener = std::function<bool(const QUrl&)>;

  explicit TLink(QWidget* parent = nullptr);

  QString URLString() const { return FURLString; }
  void SetURLString(const QString& url) { FURLString = url; }

  // Replaces the desktop's handler, for example to observe the calls.
  void SetUrlOpener(UrlOpener opener);

  // The address that a click opens: a bare host such as "www.example.org"
  // becomes a web address, a path a local file. Invalid when none is set.
  QUrl TargetUrl() const;

  // A click on the label; it fires before the address is opened.
  std::function<void()> OnClick;

 protected:
  // Fires OnClick, then opens URLString when there is one.
  virtual void Click();

  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QString FURLString;
  UrlOpener FUrlOpener;
  bool FPressed = false;
};
