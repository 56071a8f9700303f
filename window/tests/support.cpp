#include "window/tests/support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QLocale>
#include <QTest>

#include <cstdio>
#include <cstdlib>

namespace support {
namespace {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The tests run under Hungarian and under English settings, and CTest says which decimal
// separator the locale must give. A run whose locale was not honoured (the locale missing
// from the machine, say) would pass twice under one separator and prove nothing, so it
// stops before any test runs.
void RequireHonouredLocale() {
  const QString expected = qEnvironmentVariable("TARQUEN_TEST_DECIMAL_POINT");
  const QString actual = QLocale::system().decimalPoint();
  if (!expected.isEmpty() && actual != expected) {
    std::fprintf(stderr,
                 "FAIL: the locale was not honoured: TARQUEN_TEST_DECIMAL_POINT is \"%s\" but "
                 "the regional settings give \"%s\" (LC_ALL=%s)\n",
                 qPrintable(expected), qPrintable(actual), qgetenv("LC_ALL").constData());
    std::exit(1);
  }
}
Q_COREAPP_STARTUP_FUNCTION(RequireHonouredLocale)

}  // namespace

QString Local(QString text) {
  return text.replace(u',', QLocale::system().decimalPoint());
}

QLineEdit* TextBox(const QWidget& form, calc::Field field) {
  return Child<QLineEdit>(form, ToQString(calc::FieldName(field)));
}

QLabel* Result(const QWidget& form, calc::ResultLabel label) {
  return Child<QLabel>(form, ToQString(calc::ResultLabelName(label)));
}

QStringList Inputs(const QWidget& form) {
  QStringList texts;
  for (const calc::Field field : calc::kFields) texts << TextBox(form, field)->text();
  return texts;
}

QStringList Results(const QWidget& form) {
  QStringList texts;
  for (const calc::ResultLabel label : calc::kResultLabels) texts << Result(form, label)->text();
  return texts;
}

QStringList StartUpInputs() {
  return {"600", "1", "80", "100", "70", "60"};
}

QStringList StartUpResults() {
  QStringList results;
  for (const char* text : {"2,16", "2,16", "0,151", "0,558", "0,238", "0,345", "0,202", "0,36",
                           "0,246", "0,54", "0,021", "0,24", "4,628", "6,12"}) {
    results << Local(QString::fromUtf8(text));
  }
  return results;
}

void ShowActive(QWidget& form) {
  form.show();
  form.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&form));
}

const QList<CopiedRow>& StartUpTable() {
  static const QList<CopiedRow> rows{
      {"Megnevezés", "Érték", "Mértékegység"},
      {"Kollektorral megtakarítható éves fajlagos hőenergia", "600", "kWh/m²·év"},
      {"Napkollektor felület", "1", "m²"},
      {"Gáz hatásfok", "80", "%"},
      {"Villany hatásfok", "100", "%"},
      {"Olaj hatásfok", "70", "%"},
      {"Szén hatásfok", "60", "%"},
      {"Fajlagos hőenergia", "2,16", "GJ/m²·év"},
      {"Összes megtakarítható hőenergia", "2,16", "GJ/év"},
      {"Gáz, szén-dioxid", "0,151", "t/év"},
      {"Villany, szén-dioxid", "0,558", "t/év"},
      {"Olaj, szén-dioxid", "0,238", "t/év"},
      {"Szén, szén-dioxid", "0,345", "t/év"},
      {"Gáz, nitrogén-oxidok", "0,202", "kg/év"},
      {"Villany, nitrogén-oxidok", "0,36", "kg/év"},
      {"Olaj, nitrogén-oxidok", "0,246", "kg/év"},
      {"Szén, nitrogén-oxidok", "0,54", "kg/év"},
      {"Gáz, kén-dioxid", "0,021", "kg/év"},
      {"Villany, kén-dioxid", "0,24", "kg/év"},
      {"Olaj, kén-dioxid", "4,628", "kg/év"},
      {"Szén, kén-dioxid", "6,12", "kg/év"},
  };
  return rows;
}

QString Joined(const QList<CopiedRow>& rows) {
  QString text;
  for (const CopiedRow& row : rows) {
    text += row.heading + u'\t' + Local(row.value) + u'\t' + row.unit + u'\n';
  }
  return text;
}

BoxCloser::BoxCloser(std::function<const QWidget*()> form) : form_(std::move(form)) {
  connect(&timer_, &QTimer::timeout, this, &BoxCloser::Poll);
  timer_.start(5);
}

QStringList BoxCloser::Texts() const {
  QStringList texts;
  for (const SeenBox& box : seen_) texts << box.text;
  return texts;
}

void BoxCloser::Poll() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || !modal->isVisible()) return;
  SeenBox seen;
  const QWidget* form = form_ ? form_() : nullptr;
  seen.modalOverForm = form != nullptr && modal->parentWidget() == form && modal->isModal();
  if (form != nullptr) {
    seen.inputs = Inputs(*form);
    seen.results = Results(*form);
  }
  seen.title = modal->windowTitle();
  auto* box = qobject_cast<QMessageBox*>(modal);
  if (box == nullptr) {
    seen_.push_back(seen);
    modal->close();
    return;
  }
  seen.isMessageBox = true;
  seen.text = box->text();
  seen.icon = box->icon();
  seen.standardButtons = box->standardButtons();
  seen.buttonCount = box->buttons().size();
  seen.width = box->width();
  seen_.push_back(seen);
  if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
    ok->click();
  } else {
    box->reject();
  }
}

}  // namespace support
