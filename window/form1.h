#pragma once
// The program's one window: the input and results panels, the buttons and the footer.

#include <QFont>
#include <QString>
#include <QWidget>
#include <array>
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "calc/form_fields.h"
#include "calc/number_text.h"
#include "window/controls.h"

class QLabel;
class QLineEdit;

namespace window {

// The decimal symbol of the user's regional settings, read afresh for every calculation.
QString SystemDecimalPoint();

class Form1 : public QWidget, public calc::FormFields {
  Q_OBJECT

 public:
  // Creates every control in its start-up state and runs Form_Load, so the result labels
  // already show the start-up results when the window is first shown. `decimalPoint` gives
  // the user's decimal symbol for each calculation; one the number texts cannot use (see
  // calc::IsUsableSeparator) is replaced by the point.
  explicit Form1(QWidget* parent = nullptr,
                 std::function<QString()> decimalPoint = SystemDecimalPoint);

  // The load step: runs the calculation once, before the window is first shown.
  void Form_Load();
  // "Számítás" (Alt+S): checks the six inputs (one warning box per rejected field, in field
  // order, each field reset to its start-up text), then recomputes all fourteen results with
  // the decimal separator of the current regional settings. A calculation that fails with an
  // arithmetic error shows a warning and leaves an en dash in every result label.
  void Command1_Click();
  // "Kilépés" (Alt+K): closes the window, which ends the program.
  void Command2_Click();

  // Ctrl+Shift+C, or "Eredmények másolása" in the menu of either panel: puts ResultsTable()
  // on the clipboard as plain text.
  void CopyResults();
  // The inputs and the fourteen results as a tab-separated table for a spreadsheet: the row
  // "Megnevezés, Érték, Mértékegység", then one row per input field (Text1..Text6) and per
  // result (in calc::kResultLabels order) with its Hungarian heading, its text, and its unit.
  // The inputs are the texts the shown results were computed from: as they stood after the
  // last calculation's check, resets included, not what was typed since; after a calculation
  // that failed, its inputs beside the dashes. Results are as the window shows them. Tabs and
  // line breaks in a text become spaces. Every row ends with a line feed.
  QString ResultsTable() const;

  // calc::FormFields, over the controls themselves; texts are UTF-8.
  std::string GetText(calc::Field field) const override;
  void SetText(calc::Field field, const std::string& text) override;
  void SetCaption(calc::ResultLabel label, const std::string& text) override;
  // A modal warning box over this window, titled "HIBÁS ADAT", with one OK button; returns
  // when the user has closed it, with this window active again.
  void ShowWarning(const std::string& message) override;

  // The part of the background image that the window shows, at the scale of its screen.
  const QImage& Background() const { return background_.Image(); }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // The controls the layout creates, by name (the rules are drawn by their panels instead).
  using Controls = std::map<std::string_view, QWidget*>;

  // Builds the window from the layout table and the calculation's field tables, in steps.
  void CreateControls();
  Controls CreateLayout();  // every control placed, in its face and colours
  void SetFocusOrder(const Controls& controls);
  void BindInputFields(const Controls& controls);   // texts_, accessible names, keypad key
  void BindResultLabels(const Controls& controls);  // results_, their headings and units
  void AddFactorTooltips(const Controls& controls);
  void AddCopyAction(const Controls& controls);
  void ConnectButtons(const Controls& controls);
  calc::NumberFormat UsableNumberFormat() const;
  void KeepOnScreen();
  // Shows a result's text in its cell and in the name a screen reader reads for the cell.
  void ShowResult(std::size_t index, const QString& text);

  Artwork background_;
  std::array<QLineEdit*, calc::kFields.size()> texts_{};
  std::array<QLabel*, calc::kResultLabels.size()> results_{};
  std::array<QString, calc::kFields.size()> calculatedInputs_;   // what the results stand for
  std::array<QString, calc::kResultLabels.size()> resultNames_;  // heading and unit
  QFont resultFont_;  // the designed face of every result cell
  // Placed again once the window manager's frame was known.
  bool placedWithFrame_ = false;
  std::function<QString()> decimalPoint_;
};

}  // namespace window
