// One click on "Számítás" in the real window, headless: the window's share of a click (reading
// the fields, the warning box, showing fourteen results) on top of calc_bench's calculation,
// with a megabyte of text in a field. Reports figures; never a test.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <vector>

#include "window/form1.h"

namespace {

constexpr qsizetype kMegabyte = qsizetype{1} << 20;

struct Case {
  const char* name;
  const char* field;
  QString text;
};

std::vector<Case> Cases() {
  return {
      {"startup", "Text1", QStringLiteral("600")},
      // Accepted as typed: leading zeros in front of the start-up value; no box.
      {"megabyte_leading_zeros_accepted", "Text1",
       QString(kMegabyte - 3, u'0') + QStringLiteral("600")},
      // Out of range: a warning box (closed at once) and the field reset.
      {"megabyte_of_nines_rejected", "Text3", QString(kMegabyte, u'9')},
      // Not a number only at its last character.
      {"megabyte_rejected_at_end", "Text5", QString(kMegabyte, u'7') + u'x'},
  };
}

// Closes each warning box as soon as its event loop runs, so a rejected text costs one box.
void CloseBoxes() {
  if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
    box->done(QMessageBox::Ok);
  }
}

void RunCase(benchmark::State& state, const Case& c) {
  window::Form1 form;
  form.show();
  auto* field = form.findChild<QLineEdit*>(QString::fromLatin1(c.field));
  auto* calculate = form.findChild<QPushButton*>(QStringLiteral("Command1"));
  if (field == nullptr || calculate == nullptr) {
    state.SkipWithError("control not found");
    return;
  }
  QTimer closer;
  closer.setInterval(0);
  QObject::connect(&closer, &QTimer::timeout, &CloseBoxes);
  for (auto _ : state) {
    state.PauseTiming();
    field->setText(c.text);  // a rejected text is reset by the click, so put it back each time
    closer.start();
    state.ResumeTiming();
    calculate->click();
    state.PauseTiming();
    closer.stop();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * c.text.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  static const std::vector<Case> cases = Cases();
  for (const Case& c : cases) {
    benchmark::RegisterBenchmark(c.name, [&c](benchmark::State& state) {
      RunCase(state, c);
    })->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
