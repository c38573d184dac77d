// The installer's wizard: a property sheet of three pages. Each page takes its title and
// buttons from the portable page table when it becomes current; the setup page hands Next
// to the portable wizard logic.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <vector>

#include "setup/setup_wizard.h"
#include "win32/win32_user_interface.h"

namespace qorva {

// The start page, and what every page shares: its template, and its look on activation.
class CPropPageBase {
 public:
  CPropPageBase(HINSTANCE instance, int templateId, SetupPage page);
  virtual ~CPropPageBase() = default;
  CPropPageBase(const CPropPageBase&) = delete;
  CPropPageBase& operator=(const CPropPageBase&) = delete;

  PROPSHEETPAGEW Describe() const;

 protected:
  virtual void OnInitDialog() {}
  // Next was pressed on this page; the wizard moves on unless this returns false.
  virtual bool OnWizardNext() { return true; }
  HWND window() const { return window_; }

 private:
  void OnSetActive();
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
  int templateId_;
  SetupPage page_;
  HWND window_ = nullptr;
};

class CPropPageSetup final : public CPropPageBase {
 public:
  CPropPageSetup(HINSTANCE instance, SetupSystem& system, ControlBits bits);

 protected:
  void OnInitDialog() override;
  bool OnWizardNext() override;

 private:
  Win32UserInterface ui_;  // message boxes owned by this page
  SetupWizard wizard_;
};

class CPropPageEnd final : public CPropPageBase {
 public:
  explicit CPropPageEnd(HINSTANCE instance);
};

class CPropSheetBase {
 public:
  explicit CPropSheetBase(HINSTANCE instance) : instance_(instance) {}
  void AddPage(CPropPageBase& page) { pages_.push_back(&page); }
  // Runs the wizard modally until Finish or Cancel.
  INT_PTR DoModal();

 private:
  static int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM lParam);

  HINSTANCE instance_;
  std::vector<CPropPageBase*> pages_;
};

}  // namespace qorva
