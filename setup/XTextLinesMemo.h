#pragma once
// TTextLinesMemo: the multi-line edit of the setup dialog's text. It wraps at
// words, lets Tab move the focus (Return still starts a new line) and hands
// its lines out exactly as typed: no-break spaces and other special spaces
// stay what they are.

#include <QPlainTextEdit>
#include <QString>
#include <QStringList>

class TTextLinesMemo : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit TTextLinesMemo(QWidget* parent = nullptr);

  // One line per paragraph, characters as typed.
  QStringList Lines() const;
  void SetLines(const QStringList& lines);

  // The first row as the memo shows it: the first line up to its first wrap.
  QString FirstRow() const;
};

// The lines of a stored text. CR LF, LF CR, a lone CR and a lone LF each end
// one line; a break at the very end leaves an empty last line.
QStringList SplitTextLines(const QString& text);

// Lines joined by CR LF, with no break after the last one.
QString JoinTextLines(const QStringList& lines);
