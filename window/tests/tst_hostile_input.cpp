// Hostile texts entered into the real window, one field at a time, then "Számítás": the
// right warning box (or none) appears, the other fields keep exactly what was typed, and the
// results are the ones the surviving texts give, a megabyte in a field included. How long
// such a click takes is reported by bench/click_bench, not checked here; CTest's timeout
// catches a hang. Runs headless; the locale of the run decides the decimal separator.

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <array>
#include <memory>

#include "calc/input_check.h"
#include "window/form1.h"
#include "window/tests/support.h"

using support::BoxCloser;
using support::Child;
using support::Inputs;
using support::Results;
using support::SeenBox;
using support::StartUpResults;
using support::TextBox;

namespace {

// A megabyte of text: large enough that anything quadratic, or any copy per character,
// would hang the test.
constexpr qsizetype kMegabyte = qsizetype{1} << 20;

const QString kBoxTitle = QStringLiteral("HIBÁS ADAT");
const QString kNotANumber = QStringLiteral("Adjon meg számot!");
const QString kCannotCompute = QStringLiteral("A számítás a megadott adatokkal nem végezhető el!");

QString Separator() {
  return QLocale::system().decimalPoint();
}

// How a text gets into the field, as a user would put it there.
enum class Entry {
  Keys,         // key presses, one per character, over the selected old text
  InputMethod,  // committed by an input method: how emoji and direction marks arrive
  Paste,        // the clipboard, with Ctrl+V over the selected old text
};

// What the checks and the calculation should make of the text.
enum class Verdict {
  NotANumber,    // "Adjon meg számot!", field reset
  OutOfRange,    // the field's range message, field reset
  StartUpValue,  // accepted as typed; reads as the start-up value, so start-up results
  Vanishing,     // accepted as typed; a value so small it rounds or divides away
};

struct HostileCase {
  const char* name;
  Entry entry;
  Verdict verdict;
  // The text for the field with the given start-up text.
  QString (*text)(const QString& startUp);
};

// Long texts as their length, start and hash, so a failed comparison stays readable.
QStringList Abbreviated(QStringList texts) {
  for (QString& text : texts) {
    if (text.size() > 80) {
      text = QStringLiteral("<%1 characters: %2… hash %3>")
                 .arg(text.size())
                 .arg(text.left(16))
                 .arg(qHash(text), 0, 16);
    }
  }
  return texts;
}

QString Repeated(const QString& unit, qsizetype length) {
  QString text;
  text.reserve(length);
  while (text.size() < length) text += unit;
  text.truncate(length);
  return text;
}

const std::array<HostileCase, 14> kCases{{
    {"empty", Entry::Keys, Verdict::NotANumber, [](const QString&) { return QString(); }},
    {"megabyte_of_nines", Entry::Paste, Verdict::OutOfRange,
     [](const QString&) { return QString(kMegabyte, QLatin1Char('9')); }},
    {"megabyte_of_leading_zeros", Entry::Paste, Verdict::StartUpValue,
     [](const QString& startUp) {
       return QString(kMegabyte - startUp.size(), QLatin1Char('0')) + startUp;
     }},
    {"megabyte_of_letters", Entry::Paste, Verdict::NotANumber,
     [](const QString&) { return Repeated(QStringLiteral("tükörfúrógép"), kMegabyte); }},
    {"hebrew_letters", Entry::Keys, Verdict::NotANumber,
     [](const QString&) { return QStringLiteral("שמונים"); }},
    {"arabic_indic_digits", Entry::Keys, Verdict::NotANumber,
     [](const QString&) { return QStringLiteral("٨٠"); }},
    {"direction_marks_around_number", Entry::InputMethod, Verdict::NotANumber,
     [](const QString& startUp) {
       return QStringLiteral("\u200F") + startUp + QStringLiteral("\u200E");
     }},
    {"combining_accent_on_digit", Entry::Keys, Verdict::NotANumber,
     [](const QString& startUp) { return startUp + QStringLiteral("\u0301"); }},
    {"emoji", Entry::InputMethod, Verdict::NotANumber,
     [](const QString&) { return QStringLiteral("😀"); }},
    {"keycap_digits", Entry::InputMethod, Verdict::NotANumber,
     [](const QString&) { return QStringLiteral("8\uFE0F\u20E30\uFE0F\u20E3"); }},
    {"lone_separator", Entry::Keys, Verdict::NotANumber,
     [](const QString&) { return Separator(); }},
    {"negative_zero", Entry::Keys, Verdict::OutOfRange,
     [](const QString&) { return QStringLiteral("-0"); }},
    {"400_decimals", Entry::Keys, Verdict::StartUpValue,
     [](const QString& startUp) {
       return startUp + Separator() + QString(399, QLatin1Char('0')) + QLatin1Char('1');
     }},
    {"vanishing_value", Entry::Keys, Verdict::Vanishing,
     [](const QString&) {
       return QStringLiteral("0") + Separator() + QString(323, QLatin1Char('0')) + QLatin1Char('5');
     }},
}};

// What is wrong about the boxes seen, other than their messages.
QStringList Faults(const std::vector<SeenBox>& seen) {
  QStringList faults;
  for (const SeenBox& box : seen) {
    if (!box.isMessageBox) {
      faults << QStringLiteral("a modal window that is no message box: ") + box.title;
      continue;
    }
    if (box.title != kBoxTitle) faults << QStringLiteral("title ") + box.title;
    if (box.icon != QMessageBox::Warning) faults << QStringLiteral("not the warning icon");
    if (box.standardButtons != QMessageBox::Ok || box.buttonCount != 1) {
      faults << QStringLiteral("not a single OK button");
    }
  }
  return faults;
}

// The messages of the message boxes seen.
QStringList Messages(const std::vector<SeenBox>& seen) {
  QStringList messages;
  for (const SeenBox& box : seen) {
    if (box.isMessageBox) messages << box.text;
  }
  return messages;
}

// The field's start-up text and range message, as the calculation has them: what the window
// must show and reset to.
QString StartUpTextOf(calc::Field field) {
  return QString::fromStdString(calc::StartUpText(field));
}
QString RangeMessageOf(calc::Field field) {
  const std::string_view message = calc::RangeMessage(field);
  return QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()));
}

// Replaces the field's whole text the way `entry` says.
void Enter(QLineEdit* edit, const QString& text, Entry entry) {
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  switch (entry) {
    case Entry::Keys:
      if (text.isEmpty()) QTest::keyClick(edit, Qt::Key_Delete);
      for (const QChar character : text) {
        // ASCII has its own keys; anything else comes from a key that only carries the text,
        // as a Hebrew or Arabic layout delivers it.
        if (character.unicode() < 0x80) {
          QTest::keyClick(edit, character.toLatin1());
        } else {
          QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(character),
                              Qt::NoModifier);
        }
      }
      break;
    case Entry::InputMethod: {
      QInputMethodEvent commit;
      commit.setCommitString(text);
      QApplication::sendEvent(edit, &commit);
      break;
    }
    case Entry::Paste:
      QGuiApplication::clipboard()->setText(text);
      QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
      break;
  }
}

}  // namespace

class HostileInputTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    form_ = std::make_unique<window::Form1>();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    closer_ = std::make_unique<BoxCloser>();
  }

  void cleanup() {
    closer_.reset();
    form_.reset();
  }

  void hostileText_data() {
    QTest::addColumn<int>("field");  // 0 for Text1 … 5 for Text6
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("textAfter");
    QTest::addColumn<QStringList>("results");

    const auto resultCount = static_cast<qsizetype>(calc::kResultLabels.size());
    const QStringList dashes(resultCount, QStringLiteral("–"));
    const QStringList allZero(resultCount, QStringLiteral("0"));
    QStringList zeroArea = allZero;  // the yield per square metre stands, the rest is nothing
    zeroArea[0] = StartUpResults()[0];

    for (int field = 0; field < 6; ++field) {
      const calc::Field id = calc::kFields[static_cast<std::size_t>(field)];
      const QString startUp = StartUpTextOf(id);
      const QString rangeMessage = RangeMessageOf(id);
      for (const HostileCase& hostile : kCases) {
        const QString text = hostile.text(startUp);
        QStringList boxes;
        QString textAfter = text;
        QStringList results = StartUpResults();
        switch (hostile.verdict) {
          case Verdict::NotANumber:
            boxes << kNotANumber;
            textAfter = startUp;
            break;
          case Verdict::OutOfRange:
            boxes << rangeMessage;
            textAfter = startUp;
            break;
          case Verdict::StartUpValue:
            break;
          case Verdict::Vanishing:
            // The yield and the area round to zero in four decimals; an efficiency divides
            // to zero and the calculation cannot go on.
            if (field == 0) {
              results = allZero;
            } else if (field == 1) {
              results = zeroArea;
            } else {
              boxes << kCannotCompute;
              results = dashes;
            }
            break;
        }
        QTest::addRow("Text%d/%s", field + 1, hostile.name)
            << field << text << static_cast<int>(hostile.entry) << boxes << textAfter << results;
      }
    }
  }

  void hostileText() {
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(int, entry);
    QFETCH(QStringList, boxes);
    QFETCH(QString, textAfter);
    QFETCH(QStringList, results);

    // The other fields hold their start-up values written differently, so a field that is
    // wrongly reset or rewritten shows.
    QStringList typed;
    for (const calc::Field id : calc::kFields) typed << StartUpTextOf(id) + Separator() + u'0';
    for (int i = 0; i < 6; ++i) {
      if (i != field) Enter(Box(i), typed[i], Entry::Keys);
    }
    Enter(Box(field), text, static_cast<Entry>(entry));
    typed[field] = text;
    QCOMPARE(Abbreviated(Inputs(*form_)),
             Abbreviated(typed));  // the entry itself worked, or the rest proves nothing

    QTest::mouseClick(Child<QPushButton>(*form_, QStringLiteral("Command1")), Qt::LeftButton);

    QCOMPARE(Faults(closer_->Seen()), QStringList());
    QCOMPARE(Messages(closer_->Seen()), boxes);
    typed[field] = textAfter;
    QCOMPARE(Abbreviated(Inputs(*form_)), Abbreviated(typed));
    QCOMPARE(Results(*form_), results);
  }

 private:
  QLineEdit* Box(int index) const {
    return TextBox(*form_, calc::kFields[static_cast<std::size_t>(index)]);
  }

  std::unique_ptr<window::Form1> form_;
  std::unique_ptr<BoxCloser> closer_;
};

QTEST_MAIN(HostileInputTest)
#include "tst_hostile_input.moc"
