#pragma once
// TAboutBoxForm: the about window, a fixed 352 x 193 layout with the maker's
// logo, the product logo, product name, version, copyright, a link to the
// maker's web site and a motto. TAboutBox fills it in.

#include <QDialog>

class QFrame;
class QLabel;
class QObject;
class QPushButton;
class TLink;

class TAboutBoxForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBoxForm(QWidget* parent = nullptr);

  QFrame* const Bevel1;
  QLabel* const Image1;        // the maker's logo
  QLabel* const ProductImage;  // the product logo, centred and cut at its edges
  QLabel* const ProductLabel;
  QLabel* const VersionLabel;
  QLabel* const CopyrightLabel;
  TLink* const CompanyLink;
  QLabel* const InfoLabel;
  QPushButton* const OKButton;

 protected:
  // The caption follows the product label: "About <product>".
  void showEvent(QShowEvent* event) override;
};

// Shows this program's about box, modal, and returns when it is closed. The
// owner is the setup dialog or the application object.
void ShowAboutBox(QObject* owner);
