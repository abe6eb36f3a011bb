#pragma once
// TColorBox: edits one colour in the channel colour dialog. The dialog window
// is made on the first Execute and kept for the rest of the program, so the
// channel mode and a position the user dragged it to carry over.

#include <QObject>
#include <QString>

#include "engine/XColorUnit.h"

class TColorBoxForm;

class TColorBox : public QObject {
  Q_OBJECT

 public:
  explicit TColorBox(QObject* owner = nullptr);

  // The dialog's title.
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& caption) { FCaption = caption; }

  // The colour shown at the start; after OK, the colour chosen.
  TColor Color() const { return FColor; }
  void SetColor(TColor color) { FColor = color; }

  // Shows the dialog modally. True when it was closed with OK; otherwise
  // Color is left as it was.
  bool Execute();

 private:
  QString FCaption = QStringLiteral("Color selection");
  TColor FColor = 0;
};

// The program's one colour dialog window; made by the first Execute.
TColorBoxForm* ColorDialogForm();
