// The setup dialog on Qt's offscreen platform, with an in-memory registry.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <functional>
#include <stdexcept>

#include "controls/PaintBox.h"
#include "controls/XColorChoiceComp.h"
#include "controls/XNiceScrollBarComp.h"
#include "settings/GlobalsUnit.h"
#include "setup/SetupUnit.h"
#include "setup/XAboutBoxUnit.h"
#include "setup/XKeyInfoComp.h"
#include "setup/XTextLinesMemo.h"
#include "tests/settings/RegistryTestStore.h"
#include "tests/support/QtTestApplication.h"

// Readable failures for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace {

const char* const kKey = "Software\\Vandor\\ScreenSaver\\Lettrance";

// The program's state as program entry leaves it, set before any dialog is
// made and put back afterwards.
struct ProgramState {
  ProgramState() {
    QGuiApplication::setApplicationDisplayName("Lettrance");
    StoredVersion = ProgramVersion;
    SetInstalledFontsProvider([] { return std::vector<std::string>{"Default", "DejaVu Sans"}; });
  }
  ~ProgramState() {
    SetInstalledFontsProvider(nullptr);
    QGuiApplication::setApplicationDisplayName(QString());
  }
};

class SetupFormTest : public ::testing::Test, private ProgramState {
 protected:
  // Shows the dialog modally and runs `act` once it is on screen; the dialog
  // is cancelled afterwards if `act` left it open. Returns the modal result.
  int Run(const std::function<void()>& act) {
    QTimer::singleShot(0, &form, [this, act] {
      form.activateWindow();
      EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
      act();
      if (form.isVisible()) form.reject();
    });
    return form.exec();
  }

  // Answers the next message box and returns its text through `text`.
  static void AnswerNextMessage(QString& text) {
    QTimer::singleShot(0, [&text] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        text = box->text();
        box->accept();
      }
    });
  }

  QCheckBox* Box(const char* name) { return form.findChild<QCheckBox*>(name); }

  RegistryTestStore registry;
  TSetupForm form;
};

TEST_F(SetupFormTest, WindowHasTheFixedLayoutCaptionsAndNames) {
  EXPECT_EQ(form.windowTitle(), "Lettrance Setup");
  EXPECT_EQ(form.size(), QSize(569, 370));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  const struct {
    const char* name;
    QRect place;
    const char* caption;
  } controls[] = {
      {"Label1", {8, 8, 233, 13}, "Text"},
      {"TextLinesMemo", {8, 24, 233, 137}, nullptr},
      {"PreviewPaintBox", {9, 169, 231, 39}, nullptr},
      {"Bevel1", {8, 168, 233, 41}, nullptr},
      {"GroupBox1", {8, 216, 233, 145}, "Options"},
      {"DesktopCheckBox", {8, 72, 105, 17}, "Keep desktop"},
      {"DateCheckBox", {8, 88, 105, 17}, "Date text"},
      {"TimeCheckBox", {8, 104, 105, 17}, "Time text"},
      {"ShortCheckBox", {8, 120, 105, 17}, "Short date"},
      {"EffectsCheckBox", {120, 72, 105, 17}, "Special effects"},
      {"ColorFadingCheckBox", {120, 88, 105, 17}, "Color fading"},
      {"RandomColorCheckBox", {120, 104, 105, 17}, "Random color"},
      {"RandomYCheckBox", {120, 120, 105, 17}, "Random position"},
      {"GroupBox2", {248, 8, 233, 161}, "Font"},
      {"FontListBox", {8, 16, 113, 81}, nullptr},
      {"EffectsGroupBox", {248, 176, 233, 185}, "Effects"},
      {"CheckBox1", {8, 16, 105, 17}, "Standard"},
      {"CheckBox10", {8, 160, 105, 17}, "Snake"},
      {"CheckBox11", {120, 48, 105, 17}, "Swing"},
      {"CheckBox12", {120, 16, 105, 17}, "Inflate"},
      {"CheckBox13", {120, 32, 105, 17}, "Near && Far"},
      {"CheckBox20", {120, 160, 105, 17}, "Locomotion"},
      {"Image1", {488, 8, 72, 36}, nullptr},
      {"Label2", {488, 64, 73, 29}, "Keys while running:"},
      {"InfoButton", {488, 240, 73, 25}, "Info"},
      {"TestButton", {488, 272, 73, 25}, "Test"},
      {"OKButton", {488, 304, 73, 25}, "OK"},
      {"CancelButton", {488, 336, 73, 25}, "Cancel"},
  };
  for (const auto& c : controls) {
    const QWidget* control = form.findChild<QWidget*>(c.name);
    ASSERT_NE(control, nullptr) << c.name;
    EXPECT_EQ(control->geometry(), c.place) << c.name;
    if (c.caption == nullptr) continue;
    QString caption;
    if (auto* label = qobject_cast<const QLabel*>(control)) caption = label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) caption = button->text();
    if (auto* group = qobject_cast<const QGroupBox*>(control)) caption = group->title();
    EXPECT_EQ(caption, c.caption) << c.name;
  }
  const struct {
    const char* name;
    QRect place;
    int32_t min, max, position;
    TDefaultModes defaultMode;
    int32_t smallChange;
    const char* caption;
  } bars[] = {
      {"TimerNiceScrollBar",
       {8, 16, 217, 28},
       10,
       100,
       25,
       dmFixed,
       5,
       "Timer: <#Pos> msec / frame"},
      {"SpeedNiceScrollBar",
       {8, 44, 217, 28},
       1,
       20,
       6,
       dmFixed,
       1,
       "Speed: <#Pos> pixels / frame"},
      {"SizeNiceScrollBar", {8, 100, 217, 28}, 8, 200, 50, dmFixed, 2, "Size: <#Pos> points"},
      {"SpacingNiceScrollBar",
       {8, 128, 217, 28},
       0,
       50,
       0,
       dmDisabled,
       1,
       "Spacing: <#Pos> pixels"},
  };
  for (const auto& b : bars) {
    const auto* bar = form.findChild<TNiceScrollBar*>(b.name);
    ASSERT_NE(bar, nullptr) << b.name;
    EXPECT_EQ(bar->geometry(), b.place) << b.name;
    EXPECT_EQ(bar->Min(), b.min) << b.name;
    EXPECT_EQ(bar->Max(), b.max) << b.name;
    EXPECT_EQ(bar->Position(), b.position) << b.name;
    EXPECT_EQ(bar->DefaultPos(), b.position) << b.name;
    EXPECT_EQ(bar->DefaultMode(), b.defaultMode) << b.name;
    EXPECT_EQ(bar->SmallChange(), b.smallChange) << b.name;
    EXPECT_EQ(bar->LabelCaption(), b.caption) << b.name;
    EXPECT_EQ(bar->Kind(), sbHorizontal) << b.name;
    EXPECT_EQ(bar->ScrollMode(), smNormal) << b.name;
  }
  const struct {
    const char* name;
    QRect place;
    const char* caption;
    const char* text;
  } keys[] = {{"KeyInfo1", {488, 96, 73, 25}, "S", "Setup"},
              {"KeyInfo2", {488, 124, 73, 25}, "N", "Next"}};
  for (const auto& k : keys) {
    const auto* key = form.findChild<TKeyInfo*>(k.name);
    ASSERT_NE(key, nullptr) << k.name;
    EXPECT_EQ(key->geometry(), k.place) << k.name;
    EXPECT_EQ(key->Caption(), k.caption) << k.name;
    EXPECT_EQ(key->Text(), k.text) << k.name;
    EXPECT_EQ(key->Font1().Color, QColor(Qt::black)) << k.name;
    EXPECT_EQ(key->Font1().Font, form.font()) << k.name;
    EXPECT_EQ(key->Font2().Font, form.font()) << k.name;
  }
  EXPECT_EQ(form.FontColorChoice->geometry(), QRect(128, 16, 97, 81));
  EXPECT_EQ(form.FontColorChoice->Caption(), "Color");
  EXPECT_EQ(form.FontColorChoice->Kind(), ccHorizontal);
  EXPECT_TRUE(form.OKButton->isDefault());
  EXPECT_EQ(form.Image1->pixmap().size(), QSize(72, 36));
  QStringList menu;
  for (const QAction* item : form.EffectsPopupMenu->actions()) menu << item->text();
  EXPECT_EQ(menu, QStringList({"Select all", "Select none"}));
}

TEST_F(SetupFormTest, EveryCaptionFitsItsControl) {
  for (const QCheckBox* box : form.findChildren<QCheckBox*>()) {
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
    const QString shown = QString(box->text()).replace("&&", "&");
    EXPECT_LE(box->fontMetrics().horizontalAdvance(shown), room.width())
        << box->objectName().toStdString();
    EXPECT_LE(box->fontMetrics().height(), box->height()) << box->objectName().toStdString();
  }
  for (const QPushButton* button : form.findChildren<QPushButton*>()) {
    EXPECT_LT(button->fontMetrics().horizontalAdvance(button->text()), button->width())
        << button->objectName().toStdString();
  }
  for (const QLabel* label : {form.Label1}) {
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
  }
}

TEST_F(SetupFormTest, TabVisitsTheControlsInTheirOrder) {
  const QStringList expected = {"TextLinesMemo",       "TimerNiceScrollBar", "SpeedNiceScrollBar",
                                "DesktopCheckBox",     "DateCheckBox",       "TimeCheckBox",
                                "ShortCheckBox",       "EffectsCheckBox",    "ColorFadingCheckBox",
                                "RandomColorCheckBox", "RandomYCheckBox",    "FontListBox",
                                "FontColorChoice",     "SizeNiceScrollBar",  "SpacingNiceScrollBar",
                                "CheckBox1",           "CheckBox2",          "CheckBox3",
                                "CheckBox4",           "CheckBox5",          "CheckBox6",
                                "CheckBox7",           "CheckBox8",          "CheckBox9",
                                "CheckBox10",          "CheckBox12",         "CheckBox13",
                                "CheckBox11",          "CheckBox14",         "CheckBox15",
                                "CheckBox16",          "CheckBox17",         "CheckBox18",
                                "CheckBox19",          "CheckBox20",         "InfoButton",
                                "TestButton",          "OKButton",           "CancelButton"};
  QStringList visited;
  Run([&] {
    form.TextLinesMemo->setFocus();
    for (int i = 0; i < expected.size() && form.focusWidget() != nullptr; ++i) {
      visited << form.focusWidget()->objectName();
      QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(form.focusWidget(), form.TextLinesMemo) << "the chain is not closed";
  });
  EXPECT_EQ(visited, expected);
}

// Stored values outside a bar's range show clamped and are written back so.
TEST_F(SetupFormTest, ScrollBarsClampStoredValuesAndOkWritesThemBack) {
  const struct {
    const char* value;
    const char* bar;
    int32_t stored, shown;
  } cases[] = {
      {"TimerInterval", "TimerNiceScrollBar", 0, 10},  // frames on idle become 10 ms
      {"TimerInterval", "TimerNiceScrollBar", 1000, 100},
      {"TimerInterval", "TimerNiceScrollBar", 40, 40},
      {"Speed", "SpeedNiceScrollBar", 50, 20},
      {"Speed", "SpeedNiceScrollBar", 7, 7},
      {"FontSize", "SizeNiceScrollBar", 4, 8},
      {"FontSize", "SizeNiceScrollBar", 500, 200},
      {"FontSize", "SizeNiceScrollBar", 72, 72},
      {"FontSpacing", "SpacingNiceScrollBar", -3, 0},
      {"FontSpacing", "SpacingNiceScrollBar", 99, 50},
      {"FontSpacing", "SpacingNiceScrollBar", 12, 12},
  };
  for (const auto& c : cases) {
    registry.SetDword(kKey, c.value, c.stored);
    TSetupForm dialog;
    QTimer::singleShot(0, &dialog, [&] {
      EXPECT_EQ(dialog.findChild<TNiceScrollBar*>(c.bar)->Position(), c.shown)
          << c.value << " " << c.stored;
      dialog.OKButton->click();
    });
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(registry.Dword(kKey, c.value), c.shown) << c.value << " " << c.stored;
  }
}

TEST_F(SetupFormTest, LinesFromAProgramOrFileAreShownReadOnlyAndKeepTheStoredText) {
  const struct {
    int32_t source;
    QString shown;  // the box's second line
    bool readOnly;
  } cases[] = {
      {tsProgram, "fortune -s", true},
      {tsFile, "/home/me/quotes", true},
      {tsText, "typed", false},
      {5, "typed", false},  // an unknown source is the stored text
  };
  registry.SetString(kKey, "TextProgram", "fortune -s");
  registry.SetString(kKey, "TextFile", "/home/me/quotes");
  for (const auto& c : cases) {
    registry.SetString(kKey, "Text", "stored\r\ntyped");
    registry.SetDword(kKey, "TextSource", c.source);
    TSetupForm dialog;
    QTimer::singleShot(0, &dialog, [&] {
      EXPECT_EQ(dialog.TextLinesMemo->isReadOnly(), c.readOnly) << c.source;
      EXPECT_EQ(dialog.TextLinesMemo->Lines().value(1), c.shown) << c.source;
      dialog.OKButton->click();
    });
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(registry.String(kKey, "Text"), "stored\r\ntyped") << c.source;
  }
}

TEST_F(SetupFormTest, FontListHoldsDefaultAndEveryFamilyOnceSortedWithoutCase) {
  QStringList shown;
  for (int i = 0; i < form.FontListBox->count(); ++i) shown << form.FontListBox->item(i)->text();
  EXPECT_EQ(shown.count("Default"), 1);
  EXPECT_EQ(shown.removeDuplicates(), 0);
  for (qsizetype i = 1; i < shown.size(); ++i) {
    EXPECT_LE(QString::compare(shown[i - 1], shown[i], Qt::CaseInsensitive), 0)
        << shown[i - 1].toStdString() << " before " << shown[i].toStdString();
  }
  for (const QString& family : QFontDatabase::families()) EXPECT_TRUE(shown.contains(family));
}

// Stored effect codes as the twenty boxes show them, and what OK stores.
TEST_F(SetupFormTest, EffectBoxesFollowTheBitsOfTheEffectCode) {
  const struct {
    int32_t stored;
    uint32_t shownBits;  // box n checked = bit n - 1
    int32_t saved;
  } cases[] = {
      {-2, 0xFFFFEu, -2},
      {0, 0x00000u, static_cast<int32_t>(0xFFF00000u)},
      {-1, 0xFFFFFu, -1},
      {0x00081, 0x00081u, static_cast<int32_t>(0xFFF00081u)},  // high bits always set
  };
  for (const auto& c : cases) {
    registry.SetDword(kKey, "EffectCode", c.stored);
    TSetupForm dialog;
    QTimer::singleShot(0, &dialog, [&] {
      for (int n = 1; n <= 20; ++n) {
        const QCheckBox* box = dialog.findChild<QCheckBox*>(QStringLiteral("CheckBox%1").arg(n));
        EXPECT_EQ(box->isChecked(), ((c.shownBits >> (n - 1)) & 1) != 0)
            << "box " << n << " of code " << c.stored;
      }
      dialog.OKButton->click();
    });
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(registry.Dword(kKey, "EffectCode"), c.saved) << "stored " << c.stored;
  }
}

TEST_F(SetupFormTest, DateTimeBoxesAreTheBitsOfTheMode) {
  const struct {
    bool date, time, shortDate;
    int32_t mode;
  } cases[] = {
      {false, false, true, 4},
      {true, true, false, 3},
      {true, false, true, 5},
      {false, false, false, 0},
  };
  for (const auto& c : cases) {
    Run([&] {
      Box("DateCheckBox")->setChecked(c.date);
      Box("TimeCheckBox")->setChecked(c.time);
      Box("ShortCheckBox")->setChecked(c.shortDate);
      form.OKButton->click();
    });
    EXPECT_EQ(registry.Dword(kKey, "DateTimeMode"), c.mode);
  }
  for (const int32_t mode : {2, 5}) {
    registry.SetDword(kKey, "DateTimeMode", mode);
    TSetupForm dialog;
    dialog.show();
    EXPECT_EQ(dialog.DateCheckBox->isChecked(), mode == 5);
    EXPECT_EQ(dialog.TimeCheckBox->isChecked(), mode == 2);
    EXPECT_EQ(dialog.ShortCheckBox->isChecked(), mode == 5);
  }
}

TEST_F(SetupFormTest, OptionBoxesShowAndStoreTheirOwnFlag) {
  // Each flag set alone: a box wired to another flag shows up at once.
  const char* const flags[] = {"DesktopFlag", "EffectsFlag", "RandomYFlag", "ColorFadingFlag",
                               "RandomColorFlag"};
  const char* const boxes[] = {"DesktopCheckBox", "EffectsCheckBox", "RandomYCheckBox",
                               "ColorFadingCheckBox", "RandomColorCheckBox"};
  for (int set = 0; set < 5; ++set) {
    for (int i = 0; i < 5; ++i) registry.SetDword(kKey, flags[i], i == set ? 1 : 0);
    TSetupForm dialog;
    QTimer::singleShot(0, &dialog, [&] {
      for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(dialog.findChild<QCheckBox*>(boxes[i])->isChecked(), i == set) << boxes[i];
      }
      // Inverted by the user, then stored.
      for (int i = 0; i < 5; ++i) dialog.findChild<QCheckBox*>(boxes[i])->toggle();
      dialog.OKButton->click();
    });
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    for (int i = 0; i < 5; ++i)
      EXPECT_EQ(registry.Dword(kKey, flags[i]), i == set ? 0 : 1) << flags[i];
  }
}

TEST_F(SetupFormTest, TextComesBackWithCrLfBetweenLinesAndKeepsNoBreakSpaces) {
  const struct {
    const char* stored;
    QStringList lines;
    const char* saved;
  } cases[] = {
      {"one\rtwo\rthree", {"one", "two", "three"}, "one\r\ntwo\r\nthree"},
      {"one\ntwo\n\rthree", {"one", "two", "three"}, "one\r\ntwo\r\nthree"},
      {"one\r\n\r\ntwo\r", {"one", "", "two", ""}, "one\r\n\r\ntwo\r\n"},
      {"no\xC2\xA0"
       "break",
       {QString::fromUtf8("no\u00A0break")},
       "no\xC2\xA0"
       "break"},
      {"", {""}, ""},
  };
  for (const auto& c : cases) {
    registry.SetString(kKey, "Text", c.stored);
    TSetupForm dialog;
    QTimer::singleShot(0, &dialog, [&] {
      EXPECT_EQ(dialog.TextLinesMemo->Lines(), c.lines) << c.stored;
      dialog.OKButton->click();
    });
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    const platform::RegValue* text = registry.Find(kKey, "Text");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text->data.begin(), text->data.end() - 1), c.saved);
  }
}

TEST_F(SetupFormTest, ReturnInTheMemoStartsALineElsewhereItPressesOk) {
  registry.SetString(kKey, "Text", "ab");
  const int result = Run([&] {
    form.TextLinesMemo->setFocus();
    form.TextLinesMemo->moveCursor(QTextCursor::End);
    QTest::keyClick(form.TextLinesMemo, Qt::Key_Return);
    QTest::keyClicks(form.TextLinesMemo, "c");
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.TextLinesMemo->Lines(), QStringList({"ab", "c"}));
    form.DesktopCheckBox->setFocus();
    QTest::keyClick(form.DesktopCheckBox, Qt::Key_Return);
  });
  EXPECT_EQ(result, QDialog::Accepted);
  const platform::RegValue* text = registry.Find(kKey, "Text");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text->data.begin(), text->data.end() - 1), "ab\r\nc");
}

TEST_F(SetupFormTest, EscapeAndTheTitleBarCancelAndStoreNothing) {
  registry.SetString(kKey, "Text", "kept");
  const int generation = registry.Storage().CommitCount();
  for (const bool escape : {true, false}) {
    TSetupForm dialog;
    QTimer::singleShot(0, &dialog, [&] {
      dialog.TextLinesMemo->setPlainText("changed");
      dialog.DesktopCheckBox->setChecked(true);
      if (escape) {
        QTest::keyClick(dialog.TextLinesMemo, Qt::Key_Escape);
      } else {
        dialog.close();
      }
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
  }
  EXPECT_EQ(registry.Storage().CommitCount(), generation);
}

TEST_F(SetupFormTest, SelectAllAndNoneTouchOnlyTheEffectBoxes) {
  Run([&] {
    form.DesktopCheckBox->setChecked(false);
    form.EffectsCheckBox->setChecked(true);
    form.DateCheckBox->setChecked(true);
    // A right click in the effects group, on a box too, offers the menu.
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                            Box("CheckBox7")->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(Box("CheckBox7"), &click);
    EXPECT_TRUE(form.EffectsPopupMenu->isVisible());
    form.EffectsPopupMenu->close();
    form.Selectnone1->trigger();
    for (int n = 1; n <= 20; ++n) {
      EXPECT_FALSE(Box(qPrintable(QStringLiteral("CheckBox%1").arg(n)))->isChecked()) << n;
    }
    EXPECT_TRUE(form.EffectsCheckBox->isChecked());
    EXPECT_TRUE(form.DateCheckBox->isChecked());
    form.Selectall1->trigger();
    for (int n = 1; n <= 20; ++n) {
      EXPECT_TRUE(Box(qPrintable(QStringLiteral("CheckBox%1").arg(n)))->isChecked()) << n;
    }
    EXPECT_FALSE(form.DesktopCheckBox->isChecked());
    EXPECT_TRUE(form.DateCheckBox->isChecked());
  });
}

TEST_F(SetupFormTest, AFaceNameInOtherLetterCaseStaysUnselectedAndIsWrittenBack) {
  registry.SetString(kKey, "FontName", "dejavu sans");
  Run([&] {
    EXPECT_TRUE(form.FontListBox->selectedItems().isEmpty());
    form.FontListBox->setFocus(Qt::TabFocusReason);
    form.OKButton->click();
  });
  const platform::RegValue* face = registry.Find(kKey, "FontName");
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(std::string(face->data.begin(), face->data.end() - 1), "dejavu sans");
}

// Counts the paintings of a widget as they happen.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count;
    return false;
  }
};

TEST_F(SetupFormTest, PreviewShowsTheFirstRowInTheChosenColourOverBlack) {
  registry.SetDword(kKey, "FontColor", 0x0000FF);  // red
  registry.SetString(kKey, "Text", "Hello\rsecond line");
  Run([&] {
    EXPECT_EQ(form.FontColorChoice->Color(), 0x0000FFu);
    const QImage shown = form.PreviewPaintBox->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(231, 39));
    long red = 0, black = 0, foreign = 0;
    for (int y = 0; y < shown.height(); ++y) {
      for (int x = 0; x < shown.width(); ++x) {
        const QColor c = shown.pixelColor(x, y);
        if (c == QColor(255, 0, 0)) ++red;
        if (c == QColor(0, 0, 0)) ++black;
        if (c.green() != 0 || c.blue() != 0) ++foreign;  // only red over black blends
      }
    }
    EXPECT_GT(red, 20);
    EXPECT_GT(black, 231 * 39 / 2);
    EXPECT_EQ(foreign, 0);
    // Text starts at the left edge and the right part stays black.
    EXPECT_EQ(shown.copy(150, 0, 81, 39).convertToFormat(QImage::Format_RGB32), [] {
      QImage b(81, 39, QImage::Format_RGB32);
      b.fill(Qt::black);
      return b;
    }());
    form.FontColorChoice->SetColor(0x00FF00);
    form.OKButton->click();
  });
  EXPECT_EQ(registry.Dword(kKey, "FontColor"), 0x00FF00);
}

TEST_F(SetupFormTest, PreviewRepaintsAtOnceForTextFontAndColourOnly) {
  registry.SetString(kKey, "FontName", "Default");
  Run([&] {
    PaintCounter paints(form.PreviewPaintBox);
    form.TextLinesMemo->setPlainText("changed");
    EXPECT_EQ(paints.count, 1) << "text";
    form.FontColorChoice->PickAt(10, 10);
    EXPECT_EQ(paints.count, 2) << "colour";
    QListWidgetItem* other = form.FontListBox->item(
        form.FontListBox->row(form.FontListBox->selectedItems().value(0)) == 0 ? 1 : 0);
    form.FontListBox->scrollToItem(other);
    QTest::mouseClick(form.FontListBox->viewport(), Qt::LeftButton, {},
                      form.FontListBox->visualItemRect(other).center());
    EXPECT_EQ(paints.count, 3) << "font";
    form.ControlsToSettings();
    EXPECT_EQ(QString::fromStdString(form.Settings().FontName), other->text());
    for (TNiceScrollBar* bar : {form.SizeNiceScrollBar, form.SpacingNiceScrollBar}) {
      bar->setFocus();
      QTest::keyClick(bar, Qt::Key_Right);
      QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(200, 20));
    }
    EXPECT_EQ(form.SizeNiceScrollBar->Position() > 50, true);
    QCoreApplication::processEvents();
    EXPECT_EQ(paints.count, 3) << "size or spacing";
  });
}

TEST_F(SetupFormTest, PreviewRowEndsWhereTheMemoWrapsTheFirstLine) {
  registry.SetString(kKey, "Text",
                     "A first line much too long for the memo to hold in one row\rnext");
  Run([&] {
    QCoreApplication::processEvents();  // the memo lays its text out as it paints
    const QTextLayout* shown = form.TextLinesMemo->document()->firstBlock().layout();
    ASSERT_GT(shown->lineCount(), 1) << "the first line is not wrapped";
    const QString row = form.TextLinesMemo->FirstRow();
    EXPECT_EQ(row.size(), shown->lineAt(0).textLength());
    EXPECT_TRUE(row.startsWith("A first line"));
  });
}

TEST_F(SetupFormTest, AFailingTestRunIsShownAndTheDialogStays) {
  registry.SetString(kKey, "Text", "stored");
  std::string tested;
  form.StartTestSaver = [&tested](const TGlobals& settings) {
    tested = settings.Text;
    throw std::runtime_error("no saver today");
  };
  QString message;
  Run([&] {
    form.TextLinesMemo->setPlainText("tested");
    AnswerNextMessage(message);
    form.TestButton->click();
    EXPECT_TRUE(form.isVisible());
  });
  EXPECT_EQ(tested, "tested");  // the controls' values, unsaved
  EXPECT_EQ(message, "no saver today");
}

TEST_F(SetupFormTest, InfoShowsTheAboutBoxAndComesBack) {
  bool shown = false;
  Run([&] {
    QTimer::singleShot(0, [&shown] {
      auto* about = qobject_cast<TAboutBoxForm*>(QApplication::activeModalWidget());
      shown = about != nullptr && about->windowTitle() == "About Lettrance";
      if (about != nullptr) about->accept();
    });
    form.InfoButton->click();
    EXPECT_TRUE(form.isVisible());
  });
  EXPECT_TRUE(shown);
}

TEST_F(SetupFormTest, FromTheSaverTestIsDisabledAndOkEndsOnlyTheModalRun) {
  form.SetFromSaver(true);
  const int result = Run([&] {
    EXPECT_FALSE(form.TestButton->isEnabled());
    form.RandomYCheckBox->setChecked(false);
    form.OKButton->click();
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(registry.Dword(kKey, "RandomYFlag"), 0);
}

// A save the settings file refuses must not look like success: the message
// is shown and the dialog stays open with the user's values.
TEST_F(SetupFormTest, ARefusedSaveShowsTheMessageAndKeepsTheDialogOpen) {
  for (const bool fromSaver : {false, true}) {
    TSetupForm dialog;
    dialog.SetFromSaver(fromSaver);
    QString message;
    QTimer::singleShot(0, &dialog, [&] {
      registry.Storage().SetGrant(kKey, platform::KEY_READ);  // the file refuses
      dialog.DesktopCheckBox->setChecked(true);
      AnswerNextMessage(message);
      dialog.OKButton->click();
      EXPECT_TRUE(dialog.isVisible()) << "from saver: " << fromSaver;
      EXPECT_TRUE(dialog.DesktopCheckBox->isChecked());
      registry.Storage().SetGrant(kKey, platform::KEY_ALL_ACCESS);
      dialog.OKButton->click();  // the second try works
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(message.contains("Lettrance")) << message.toStdString();
    EXPECT_EQ(registry.Dword(kKey, "DesktopFlag"), 1);
  }
}

}  // namespace
