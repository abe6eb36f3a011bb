// The setup dialog's window: its controls, their places and the tab order.
#include "setup/SetupUnit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStyleOptionButton>
#include <stdexcept>
#include <string>

#include "controls/FormLayout.h"
#include "controls/PaintBox.h"
#include "controls/XColorChoiceComp.h"
#include "controls/XNiceScrollBarComp.h"
#include "engine/AnimationUnit.h"
#include "resources/LettranceResources.h"
#include "settings/SettingsTable.h"
#include "setup/XKeyInfoComp.h"
#include "setup/XTextLinesMemo.h"

namespace {

constexpr int kCheckBoxWidth = 105;
constexpr int kCheckBoxHeight = 17;

QCheckBox* CheckBox(QWidget* parent, const char* name, const char* caption, int left, int top,
                    bool checked) {
  auto* box = Place(new QCheckBox(QString::fromUtf8(caption), parent), name, left, top,
                    kCheckBoxWidth, kCheckBoxHeight);
  box->setChecked(checked);
  return box;
}

struct ScrollBarRange {
  int32_t Min, Max, Position;
  TDefaultModes DefaultMode;
  int32_t SmallChange;
};

// The range the settings offer for a stored value, with the bar's own
// default position and step.
ScrollBarRange SliderOf(const char* setting, int32_t position, TDefaultModes mode,
                        int32_t smallChange) {
  const TSetting* found = FindSetting(setting);
  if (found == nullptr) throw std::logic_error(std::string("no setting ") + setting);
  return {found->SliderMin, found->SliderMax, position, mode, smallChange};
}

// A horizontal labelled scroll bar, 217 x 28; its default is its position.
// Room for the caption of a check box of fixed size.
int CaptionRoom(const QCheckBox& box) {
  QStyleOptionButton option;
  option.initFrom(&box);
  option.text = box.text();
  return box.style()->subElementRect(QStyle::SE_CheckBoxContents, &option, &box).width();
}

// The layout was made for a narrower face than most desktops use: a caption
// that would be cut is drawn a little condensed instead.
void CondenseToFit(QCheckBox& box) {
  const QString shown = QString(box.text()).replace(QStringLiteral("&&"), QStringLiteral("&"));
  const int room = CaptionRoom(box);
  QFont font = box.font();
  for (int stretch = 99; stretch >= 80 && QFontMetrics(font).horizontalAdvance(shown) > room;
       --stretch) {
    font.setStretch(stretch);
  }
  if (font != box.font()) box.setFont(font);
}

TNiceScrollBar* ScrollBar(QWidget* parent, const char* name, int left, int top,
                          const ScrollBarRange& range, const char* caption) {
  auto* bar = Place(new TNiceScrollBar(parent), name, left, top, 217, 28);
  bar->SetMin(range.Min);
  bar->SetMax(range.Max);
  bar->SetPosition(range.Position);
  bar->SetDefaultPos(range.Position);
  bar->SetDefaultMode(range.DefaultMode);
  bar->SetSmallChange(range.SmallChange);
  bar->SetLabelCaption(QString::fromUtf8(caption));
  return bar;
}

TColorChoice* ColorChoice(QWidget* parent) {
  auto* choice = Place(new TColorChoice(parent), "FontColorChoice", 128, 16, 97, 81);
  choice->SetCaption(QStringLiteral("Color"));
  choice->SetColor(0x000000);
  choice->SetKind(ccHorizontal);
  choice->SetSingleBorder(true);
  choice->setCursor(Qt::PointingHandCursor);
  return choice;
}

TKeyInfo* KeyInfo(QWidget* parent, const char* name, int top, const char* caption,
                  const char* text) {
  auto* key = Place(new TKeyInfo(parent), name, 488, top, 73, 25);
  key->SetColor(parent->palette().color(QPalette::Button));
  key->SetCaption(QString::fromUtf8(caption));
  key->SetText(QString::fromUtf8(text));
  return key;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption, int top) {
  return Place(new QPushButton(QString::fromUtf8(caption), parent), name, 488, top, 73, 25);
}

// Where each effect box stands, by effect number. The right column is not in
// effect order: "Inflate" and "Near && Far" stand above "Swing".
constexpr QPoint kEffectPlaces[20] = {
    {8, 16},   {8, 32},   {8, 48},    {8, 64},    {8, 80},    {8, 96},    {8, 112},
    {8, 128},  {8, 144},  {8, 160},   {120, 48},  {120, 16},  {120, 32},  {120, 64},
    {120, 80}, {120, 96}, {120, 112}, {120, 128}, {120, 144}, {120, 160},
};

// The effect boxes in tab order, by effect number.
constexpr int kEffectTabOrder[20] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,
                                     11, 12, 10, 13, 14, 15, 16, 17, 18, 19};

}  // namespace

TSetupForm::TSetupForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      Label1(Place(new QLabel(tr("Text"), this), "Label1", 8, 8, 233, 13)),
      TextLinesMemo(Place(new TTextLinesMemo(this), "TextLinesMemo", 8, 24, 233, 137)),
      PreviewPaintBox(Place(new TPaintBox(this), "PreviewPaintBox", 9, 169, 231, 39)),
      Bevel1(Place(new QFrame(this), "Bevel1", 8, 168, 233, 41)),
      GroupBox1(Place(new QGroupBox(tr("Options"), this), "GroupBox1", 8, 216, 233, 145)),
      TimerNiceScrollBar(ScrollBar(GroupBox1, "TimerNiceScrollBar", 8, 16,
                                   SliderOf("TimerInterval", 25, dmFixed, 5),
                                   "Timer: <#Pos> msec / frame")),
      SpeedNiceScrollBar(ScrollBar(GroupBox1, "SpeedNiceScrollBar", 8, 44,
                                   SliderOf("Speed", 6, dmFixed, 1),
                                   "Speed: <#Pos> pixels / frame")),
      DesktopCheckBox(CheckBox(GroupBox1, "DesktopCheckBox", "Keep desktop", 8, 72, false)),
      DateCheckBox(CheckBox(GroupBox1, "DateCheckBox", "Date text", 8, 88, false)),
      TimeCheckBox(CheckBox(GroupBox1, "TimeCheckBox", "Time text", 8, 104, false)),
      ShortCheckBox(CheckBox(GroupBox1, "ShortCheckBox", "Short date", 8, 120, false)),
      EffectsCheckBox(CheckBox(GroupBox1, "EffectsCheckBox", "Special effects", 120, 72, true)),
      ColorFadingCheckBox(
          CheckBox(GroupBox1, "ColorFadingCheckBox", "Color fading", 120, 88, true)),
      RandomColorCheckBox(
          CheckBox(GroupBox1, "RandomColorCheckBox", "Random color", 120, 104, true)),
      RandomYCheckBox(CheckBox(GroupBox1, "RandomYCheckBox", "Random position", 120, 120, true)),
      GroupBox2(Place(new QGroupBox(tr("Font"), this), "GroupBox2", 248, 8, 233, 161)),
      FontListBox(Place(new QListWidget(GroupBox2), "FontListBox", 8, 16, 113, 81)),
      FontColorChoice(ColorChoice(GroupBox2)),
      SizeNiceScrollBar(ScrollBar(GroupBox2, "SizeNiceScrollBar", 8, 100,
                                  SliderOf("FontSize", 50, dmFixed, 2), "Size: <#Pos> points")),
      SpacingNiceScrollBar(ScrollBar(GroupBox2, "SpacingNiceScrollBar", 8, 128,
                                     SliderOf("FontSpacing", 0, dmDisabled, 1),
                                     "Spacing: <#Pos> pixels")),
      EffectsGroupBox(
          Place(new QGroupBox(tr("Effects"), this), "EffectsGroupBox", 248, 176, 233, 185)),
      EffectCheckBoxes{},
      Image1(Place(new QLabel(this), "Image1", 488, 8, 72, 36)),
      Label2(Place(new QLabel(tr("Keys while running:"), this), "Label2", 488, 64, 73, 29)),
      KeyInfo1(KeyInfo(this, "KeyInfo1", 96, "S", "Setup")),
      KeyInfo2(KeyInfo(this, "KeyInfo2", 124, "N", "Next")),
      InfoButton(Button(this, "InfoButton", "Info", 240)),
      TestButton(Button(this, "TestButton", "Test", 272)),
      OKButton(Button(this, "OKButton", "OK", 304)),
      CancelButton(Button(this, "CancelButton", "Cancel", 336)),
      EffectsPopupMenu(new QMenu(this)),
      Selectall1(EffectsPopupMenu->addAction(tr("Select all"))),
      Selectnone1(EffectsPopupMenu->addAction(tr("Select none"))) {
  // FormCreate
  setFixedSize(569, 370);
  UseFormFont(*this);
  setWindowTitle(QGuiApplication::applicationDisplayName() + tr(" Setup"));
  for (TKeyInfo* key : {KeyInfo1, KeyInfo2}) {
    key->SetFont1({font(), Qt::black});
    key->SetFont2({font(), palette().color(QPalette::ButtonText)});
  }

  Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
  PreviewPaintBox->setAttribute(Qt::WA_OpaquePaintEvent);
  PreviewPaintBox->raise();  // the bevel frames it, it does not cover it
  PreviewPaintBox->OnPaint = [this](QPainter& canvas, const QRect& clip) {
    PreviewPaintBoxPaint(canvas, clip);
  };

  FontListBox->setSelectionMode(QAbstractItemView::SingleSelection);
  FontListBox->setUniformItemSizes(true);
  FontListBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  FillFontList();

  PlaceEffectCheckBoxes();
  EffectsPopupMenu->setObjectName(QStringLiteral("EffectsPopupMenu"));
  Selectall1->setObjectName(QStringLiteral("Selectall1"));
  Selectnone1->setObjectName(QStringLiteral("Selectnone1"));
  EffectsGroupBox->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(EffectsGroupBox, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { EffectsPopupMenu->popup(EffectsGroupBox->mapToGlobal(at)); });
  connect(Selectall1, &QAction::triggered, this, [this] { SetEffectBoxes(true); });
  connect(Selectnone1, &QAction::triggered, this, [this] { SetEffectBoxes(false); });

  Image1->setPixmap(
      resources::TransparentPixmap(resources::LoadBitmap("VANDORLOGO", devicePixelRatioF())));
  Label2->setWordWrap(true);

  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &TSetupForm::OKButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(InfoButton, &QPushButton::clicked, this, &TSetupForm::InfoButtonClick);
  connect(TestButton, &QPushButton::clicked, this, &TSetupForm::TestButtonClick);
  connect(FontListBox, &QListWidget::itemSelectionChanged, this, &TSetupForm::FontListBoxClick);
  // The preview follows the text, the font and the colour at once; the size
  // and spacing bars play no part in it.
  connect(TextLinesMemo, &QPlainTextEdit::textChanged, PreviewPaintBox,
          qOverload<>(&QWidget::repaint));
  FontColorChoice->OnChange = [this] { PreviewPaintBox->repaint(); };

  SetTabOrder();
  for (QCheckBox* box : findChildren<QCheckBox*>()) CondenseToFit(*box);
}

void TSetupForm::PlaceEffectCheckBoxes() {
  for (int effect = 0; effect < 20; ++effect) {
    const QByteArray name = "CheckBox" + QByteArray::number(effect + 1);
    const QPoint place = kEffectPlaces[effect];
    EffectCheckBoxes[effect] = CheckBox(EffectsGroupBox, name.constData(), EffectNames[effect],
                                        place.x(), place.y(), true);
  }
}

void TSetupForm::SetTabOrder() {
  QList<QWidget*> chain{TextLinesMemo,       TimerNiceScrollBar, SpeedNiceScrollBar,
                        DesktopCheckBox,     DateCheckBox,       TimeCheckBox,
                        ShortCheckBox,       EffectsCheckBox,    ColorFadingCheckBox,
                        RandomColorCheckBox, RandomYCheckBox,    FontListBox,
                        FontColorChoice,     SizeNiceScrollBar,  SpacingNiceScrollBar};
  for (const int effect : kEffectTabOrder) chain << EffectCheckBoxes[effect];
  chain << InfoButton << TestButton << OKButton << CancelButton;
  for (qsizetype i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);
}

void TSetupForm::SetEffectBoxes(bool checked) {
  // Every check box of the effects group, and nothing else.
  for (QCheckBox* box : findChildren<QCheckBox*>()) {
    if (box->parentWidget() == EffectsGroupBox) box->setChecked(checked);
  }
}
