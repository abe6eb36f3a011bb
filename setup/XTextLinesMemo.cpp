#include "setup/XTextLinesMemo.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

TTextLinesMemo::TTextLinesMemo(QWidget* parent) : QPlainTextEdit(parent) {
  setTabChangesFocus(true);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QStringList TTextLinesMemo::Lines() const {
  // toPlainText would turn no-break spaces into plain ones; the raw text
  // keeps them and marks paragraphs (and Shift+Return breaks) by separators.
  QString raw = document()->toRawText();
  raw.replace(QChar::LineSeparator, QChar::ParagraphSeparator);
  return raw.split(QChar::ParagraphSeparator);
}

void TTextLinesMemo::SetLines(const QStringList& lines) {
  setPlainText(lines.join(QLatin1Char('\n')));
}

QString TTextLinesMemo::FirstRow() const {
  QString line = document()->firstBlock().text();
  line.truncate(line.indexOf(QChar::LineSeparator) >= 0 ? line.indexOf(QChar::LineSeparator)
                                                        : line.size());
  // Wrapped as the memo wraps it: at the viewport's width less the margins.
  const qreal width = viewport()->width() - 2 * document()->documentMargin();
  QTextLayout layout(line, font());
  QTextOption option = document()->defaultTextOption();
  option.setWrapMode(wordWrapMode());
  layout.setTextOption(option);
  layout.beginLayout();
  QTextLine row = layout.createLine();
  if (row.isValid()) row.setLineWidth(std::max<qreal>(width, 1));
  layout.endLayout();
  return row.isValid() ? line.left(row.textLength()) : line;
}

QStringList SplitTextLines(const QString& text) {
  QStringList lines;
  QString current;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) {
      current += c;
      continue;
    }
    // A CR LF or LF CR pair is one break.
    const QChar partner = c == QLatin1Char('\r') ? QLatin1Char('\n') : QLatin1Char('\r');
    if (i + 1 < text.size() && text[i + 1] == partner) ++i;
    lines << current;
    current.clear();
  }
  lines << current;
  return lines;
}

QString JoinTextLines(const QStringList& lines) {
  return lines.join(QStringLiteral("\r\n"));
}
