#pragma once
#include <QDialog>
#include <array>
#include <cstdint>

#include "dialogs/parameter_dialog.h"
#include "dialogs/server_dialog.h"
#include "dialogs/type_dialog.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class ConfigurationHost;
class InstrumentWindow;

// Arranges the instruments: the seven slots as rows, moved and resized
// pixel by pixel, shown or hidden, given another type; rotation, auto-show,
// and the server and parameter dialogs. Every change acts on the running
// instrument window at once; only Save (or OK after "Save Changes ?")
// writes the settings file.
class ConfigurationDialog final : public QDialog {
  Q_OBJECT

 public:
  // host->instrumentWindow() must exist for the dialog's lifetime.
  explicit ConfigurationDialog(ConfigurationHost& host, QWidget* parent = nullptr);

  bool modified() const { return modified_; }
  std::uint32_t selectionMask() const;

  // Row widgets: field 0 to 3 are x, y, width, height.
  QCheckBox* selectBox(int slot) const { return rows_[std::size_t(slot)].select; }
  QLineEdit* fieldEdit(int slot, int field) const { return rows_[std::size_t(slot)].fields[std::size_t(field)]; }
  QCheckBox* visibleBox(int slot) const { return rows_[std::size_t(slot)].visible; }
  QPushButton* typeButton(int slot) const { return rows_[std::size_t(slot)].type; }
  // The button that sends adjust command 'h', 'l', 'r', 'd', 'g' or 'k'.
  QPushButton* commandButton(char command) const;
  QPushButton* standardButton() const { return standard_; }
  QPushButton* selectAllButton() const { return selectAll_; }
  QPushButton* parameterButton() const { return parameter_; }
  QPushButton* netConfButton() const { return netConf_; }
  QPushButton* saveButton() const { return save_; }
  QPushButton* okButton() const { return ok_; }
  QCheckBox* autoShowBox() const { return autoShow_; }
  // 0: -90°, 1: 0°, 2: 90°.
  QRadioButton* rotationRadio(int i) const { return rotation_[std::size_t(i)]; }
  TypeDialog& typeDialog() { return typeDialog_; }
  ServerDialog& serverDialog() { return serverDialog_; }
  ParameterDialog& parameterDialog() { return parameterDialog_; }

  // Save: auto-show flag, then the settings write. False when it failed;
  // the modified flag then stays set.
  bool save();
  void accept() override;  // OK, with the question when something changed

 private:
  struct Row {
    QCheckBox* select = nullptr;
    std::array<QLineEdit*, 4> fields{};
    QCheckBox* visible = nullptr;
    QPushButton* type = nullptr;
  };

  void buildControls();
  void placeArrowButtons();
  void refreshRows();
  void updateCommandButtons();
  void applyRowRule(int slot);
  void adjust(char command);
  void standard();
  void chooseType(int slot);
  void setRotation(float degrees);
  void toggleSelectAll();
  void netConf();
  void parameters();
  InstrumentWindow& window() const;
  void makeContextCurrent() const;

  ConfigurationHost& host_;
  bool modified_ = false;
  bool allSelected_ = false;
  TypeDialog typeDialog_;
  ServerDialog serverDialog_;
  ParameterDialog parameterDialog_;

  std::array<Row, 7> rows_{};
  // Indexed like kCommands: 'h', 'l', 'r', 'd', 'g', 'k'.
  std::array<QPushButton*, 6> commands_{};
  QPushButton* standard_ = nullptr;
  QPushButton* selectAll_ = nullptr;
  QPushButton* parameter_ = nullptr;
  QPushButton* netConf_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* ok_ = nullptr;
  QCheckBox* autoShow_ = nullptr;
  std::array<QRadioButton*, 3> rotation_{};
};

// Runs the dialog modal over parent only: the instrument window stays
// free for the mouse and its render timer keeps running meanwhile.
int runConfigurationDialog(ConfigurationHost& host, QWidget* parent);
