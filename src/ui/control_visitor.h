#pragma once

namespace kvm {

class Label;
class Frame;
class Button;
class TextBox;
class ComboBox;
class CheckBox;
class OptionButton;
class OptionGroup;
class ListBox;
class MenuItem;
class Timer;
class PictureBox;
class Grid;

// One visit per kind of control, for code that treats every kind differently (dumps, the
// Win32 binding).
class ControlVisitor {
 public:
  ControlVisitor() = default;
  ControlVisitor(const ControlVisitor&) = delete;
  ControlVisitor& operator=(const ControlVisitor&) = delete;
  ControlVisitor(ControlVisitor&&) = delete;
  ControlVisitor& operator=(ControlVisitor&&) = delete;
  virtual ~ControlVisitor() = default;

  virtual void visit(const Label& control) = 0;
  virtual void visit(const Frame& control) = 0;
  virtual void visit(const Button& control) = 0;
  virtual void visit(const TextBox& control) = 0;
  virtual void visit(const ComboBox& control) = 0;
  virtual void visit(const CheckBox& control) = 0;
  virtual void visit(const OptionButton& control) = 0;
  virtual void visit(const OptionGroup& control) = 0;
  virtual void visit(const ListBox& control) = 0;
  virtual void visit(const MenuItem& control) = 0;
  virtual void visit(const Timer& control) = 0;
  virtual void visit(const PictureBox& control) = 0;
  virtual void visit(const Grid& control) = 0;
};

}  // namespace kvm
