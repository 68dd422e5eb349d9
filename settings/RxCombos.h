#pragma once
// Combo boxes whose entries the control draws itself: TOwnerDrawComboBox with
// one fixed entry height, and TColorComboBox, a list of named colours.
#include <QComboBox>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <optional>

#include "GraphSettings.h"

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

// csDropDown and csSimple give an editable box. Qt's combo box cannot keep its
// list open, so csSimple behaves like csDropDown here.
class TOwnerDrawComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit TOwnerDrawComboBox(QWidget* parent = nullptr);

  [[nodiscard]] TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle style);

  // The height of every entry, fixed by GetItemHt() when the control is made
  // and again when its font changes.
  [[nodiscard]] int ItemHeight() const { return item_height_; }
  // The larger of 9 and the font's text height + 1. A subclass that changes
  // it calls UpdateItemHeight() from its own constructor (a virtual call from
  // this class's constructor reaches only this version).
  [[nodiscard]] virtual int GetItemHt() const;

 protected:
  // Rebuilds what depends on the control's "window" (the entry list); the
  // counterpart of re-creating a native window. Ignored while the entry
  // height is being changed by the class itself.
  void RecreateWnd();
  virtual void CreateWnd() {}
  void changeEvent(QEvent* event) override;
  void UpdateItemHeight();

 private:
  TComboBoxStyle style_ = csDropDownList;
  int item_height_ = 9;
  bool changing_item_height_ = false;
};

enum TColorComboOption { coIncludeDefault, coIncludeNone };

class TColorComboOptions {
 public:
  constexpr TColorComboOptions() = default;
  constexpr TColorComboOptions(std::initializer_list<TColorComboOption> members) {
    for (auto m : members) bits_ |= 1u << m;
  }
  [[nodiscard]] constexpr bool contains(TColorComboOption m) const { return (bits_ >> m) & 1u; }
  friend constexpr bool operator==(TColorComboOptions a, TColorComboOptions b) { return a.bits_ == b.bits_; }

 private:
  unsigned bits_ = 0;
};

class TColorComboBox : public TOwnerDrawComboBox {
  Q_OBJECT
 public:
  explicit TColorComboBox(QWidget* parent = nullptr);

  // The chosen colour (0x00BBGGRR, or a negative system colour). A colour
  // that is not listed is kept as the value with no entry selected.
  [[nodiscard]] TColor ColorValue() const;
  void SetColorValue(TColor value);

  // A non-empty string at position i names row i of the colour table
  // (positions count all 18 rows, skipped ones included).
  [[nodiscard]] const QStringList& ColorNames() const { return color_names_; }
  void SetColorNames(const QStringList& names);

  [[nodiscard]] bool DisplayNames() const { return display_names_; }
  void SetDisplayNames(bool on);

  [[nodiscard]] TColorComboOptions Options() const { return options_; }
  void SetOptions(TColorComboOptions options);

  // Raised after ColorValue has been set, by a program or by the user.
  std::function<void()> OnChange;
  // Raised after the user has picked an entry (and ColorValue was set).
  std::function<void()> OnClick;

  // Fills the list from the colour table, the options and ColorNames.
  virtual void FillColorList();

  // The entry's colour, or clBlack outside the list.
  [[nodiscard]] TColor ItemColor(int index) const;

 signals:
  void ColorValueChanged(TColor value);

 protected:
  void CreateWnd() override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Change();
  void UserPicked(int index);
  void TextEdited(const QString& text);
  [[nodiscard]] std::optional<TColor> ColorFromText(const QString& text) const;

  TColor value_ = clBlack;
  QStringList color_names_;
  bool display_names_ = true;
  TColorComboOptions options_;
  bool loading_ = true;  // no notifications while the control is being made
};
