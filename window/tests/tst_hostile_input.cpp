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

#include "window/form1.h"

namespace {

// A megabyte of text: large enough that anything quadratic, or any copy per character,
// would hang the test.
constexpr qsizetype kMegabyte = qsizetype{1} << 20;

const QString kBoxTitle = QStringLiteral("HIBÁS ADAT");
const QString kNotANumber = QStringLiteral("Adjon meg számot!");
const QString kCannotCompute = QStringLiteral("A számítás a megadott adatokkal nem végezhető el!");

struct FieldRule {
  const char* startUp;  // also the text a rejected field is reset to
  const char* rangeMessage;
};

const std::array<FieldRule, 6> kFieldRules{{
    {"600", "A fajlagos energiahozam 0 és 1500 kWh/m2.év között kell legyen!"},
    {"1", "A kollektorfelület pozitív kell legyen!"},
    {"80", "A gáztüzelés hatásfoka 0 és 120 % között kell legyen!"},
    {"100", "A villamos fűtés hatásfoka 0 és 100 % között kell legyen!"},
    {"70", "A olajtüzelés hatásfoka 0 és 100 % között kell legyen!"},
    {"60", "A széntüzelés hatásfoka 0 és 100 % között kell legyen!"},
}};

const std::array<const char*, 14> kResultNames{
    "Label3",  "Label39", "Label11", "Label12", "Label13", "Label14", "Label16",
    "Label17", "Label18", "Label19", "Label21", "Label22", "Label23", "Label24"};

QString Separator() {
  return QLocale::system().decimalPoint();
}

// Hungarian-notation captions with the separator of the current regional settings.
QStringList Captions(std::initializer_list<const char*> texts) {
  QStringList captions;
  for (const char* text : texts) {
    captions << QString::fromUtf8(text).replace(QLatin1Char(','), Separator());
  }
  return captions;
}

// The results of the start-up values, in the order of kResultNames.
QStringList StartUpResults() {
  return Captions({"2,16", "2,16", "0,151", "0,558", "0,238", "0,345", "0,202", "0,36", "0,246",
                   "0,54", "0,021", "0,24", "4,628", "6,12"});
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

// Closes every modal box as soon as it shows, noting its text; the test never waits on one.
class BoxCloser : public QObject {
 public:
  BoxCloser() {
    timer_.setInterval(1);
    connect(&timer_, &QTimer::timeout, this, &BoxCloser::CloseActiveBox);
    timer_.start();
  }

  QStringList messages;
  QStringList faults;  // anything about a box other than its message that is wrong

 private:
  void CloseActiveBox() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) {
      faults
          << QStringLiteral("a modal window that is no message box: %1").arg(modal->objectName());
      modal->close();
      return;
    }
    messages << box->text();
    if (box->windowTitle() != kBoxTitle) faults << QStringLiteral("title ") + box->windowTitle();
    if (box->icon() != QMessageBox::Warning) faults << QStringLiteral("not the warning icon");
    QAbstractButton* ok = box->button(QMessageBox::Ok);
    if (ok == nullptr || box->buttons().size() != 1) {
      faults << QStringLiteral("not a single OK button");
      box->done(QMessageBox::Ok);
      return;
    }
    ok->click();
  }

  QTimer timer_;
};

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

    const QStringList dashes(kResultNames.size(), QStringLiteral("–"));
    const QStringList allZero(kResultNames.size(), QStringLiteral("0"));
    QStringList zeroArea = allZero;  // the yield per square metre stands, the rest is nothing
    zeroArea[0] = StartUpResults()[0];

    for (int field = 0; field < 6; ++field) {
      const QString startUp =
          QString::fromUtf8(kFieldRules[static_cast<std::size_t>(field)].startUp);
      const QString rangeMessage =
          QString::fromUtf8(kFieldRules[static_cast<std::size_t>(field)].rangeMessage);
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
    for (std::size_t i = 0; i < kFieldRules.size(); ++i) {
      typed << QString::fromUtf8(kFieldRules[i].startUp) + Separator() + QLatin1Char('0');
    }
    for (int i = 0; i < 6; ++i) {
      if (i != field) Enter(TextBox(i), typed[i], Entry::Keys);
    }
    Enter(TextBox(field), text, static_cast<Entry>(entry));
    typed[field] = text;
    QCOMPARE(Abbreviated(Texts()),
             Abbreviated(typed));  // the entry itself worked, or the rest proves nothing

    auto* calculate = form_->findChild<QPushButton*>(QStringLiteral("Command1"));
    QVERIFY(calculate != nullptr);
    QTest::mouseClick(calculate, Qt::LeftButton);

    QCOMPARE(closer_->faults, QStringList());
    QCOMPARE(closer_->messages, boxes);
    typed[field] = textAfter;
    QCOMPARE(Abbreviated(Texts()), Abbreviated(typed));
    QCOMPARE(Results(), results);
  }

 private:
  QLineEdit* TextBox(int index) const {
    auto* edit = form_->findChild<QLineEdit*>(QStringLiteral("Text%1").arg(index + 1));
    if (edit == nullptr) qFatal("no Text%d", index + 1);
    return edit;
  }

  QStringList Texts() const {
    QStringList texts;
    for (int i = 0; i < 6; ++i) texts << TextBox(i)->text();
    return texts;
  }

  QStringList Results() const {
    QStringList texts;
    for (const char* name : kResultNames) {
      auto* label = form_->findChild<QLabel*>(QString::fromLatin1(name));
      texts << (label != nullptr ? label->text() : QStringLiteral("<no %1>").arg(name));
    }
    return texts;
  }

  std::unique_ptr<window::Form1> form_;
  std::unique_ptr<BoxCloser> closer_;
};

QTEST_MAIN(HostileInputTest)
#include "tst_hostile_input.moc"
