#pragma once
// TAboutBox: holds the texts and the logo of an about box and shows the
// window on demand. The window exists only while Execute runs.

#include <QImage>
#include <QObject>
#include <QString>

class TAboutBoxForm;

class TAboutBox : public QObject {
  Q_OBJECT

 public:
  explicit TAboutBox(QObject* owner = nullptr);

  // The product logo; setting it stores a copy.
  const QImage& Bitmap() const { return FBitmap; }
  void SetBitmap(const QImage& bitmap) { FBitmap = bitmap.copy(); }

  // Product name; when empty the application's title is shown instead.
  QString Product() const { return FProduct; }
  void SetProduct(const QString& product) { FProduct = product; }

  QString Version() const { return FVersion; }
  void SetVersion(const QString& version) { FVersion = version; }

  // Shown after a copyright sign and a blank.
  QString Copyright() const { return FCopyright; }
  void SetCopyright(const QString& copyright) { FCopyright = copyright; }

  // Web address: the link's caption and the address it opens.
  QString Link() const { return FLink; }
  void SetLink(const QString& link) { FLink = link; }

  // One-line motto at the bottom.
  QString InfoText() const { return FInfoText; }
  void SetInfoText(const QString& infoText) { FInfoText = infoText; }

  // Shows the about box modally, centred on the screen. True when it was
  // closed with OK (or Enter), false when it was closed by the title bar.
  bool Execute();

  // Puts the texts and the logo into a form, as Execute shows them.
  void FillForm(TAboutBoxForm& form) const;

 private:
  QImage FBitmap;
  QString FProduct;
  QString FVersion;
  QString FCopyright;
  QString FLink;
  QString FInfoText;
};
