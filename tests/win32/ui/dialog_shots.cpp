// Shows each dialog on the real desktop with sample data and saves a picture of its window:
// dialog_shots.exe OUTPUT_FOLDER writes NAME.bmp per dialog.

#include "platform/win32/windows_headers.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/process.h"
#include "platform/win32/ui/form_desktop.h"
#include "settings/frm_set.h"
#include "storage/memory_settings_store.h"
#include "ui/form.h"

namespace {

namespace fs = std::filesystem;

// Waits for the window to be painted, then copies it from the screen.
constexpr UINT kSettleMilliseconds = 1200;
constexpr const wchar_t* kTakerClass = L"KavelmorShotTaker";

void writeBitmap(const fs::path& file, int width, int height, const std::vector<uint32_t>& pixels) {
  BITMAPFILEHEADER header{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = -height;  // top row first
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  const auto bytes = static_cast<DWORD>(pixels.size() * sizeof(uint32_t));
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof(header) + sizeof(info);
  header.bfSize = header.bfOffBits + bytes;
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&header), sizeof(header));  // NOLINT: raw file record
  out.write(reinterpret_cast<const char*>(&info), sizeof(info));      // NOLINT: as above
  out.write(reinterpret_cast<const char*>(pixels.data()), bytes);     // NOLINT: as above
}

bool captureWindow(HWND window, const fs::path& file) {
  RECT place{};
  if (window == nullptr || GetWindowRect(window, &place) == FALSE) {
    return false;
  }
  const int width = place.right - place.left;
  const int height = place.bottom - place.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ before = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, place.left, place.top, SRCCOPY);
  SelectObject(memory, before);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  writeBitmap(file, width, height, pixels);
  return true;
}

// A hidden window whose timer takes the picture while the dialog's modal loop runs, then lets
// the dialog go.
class ShotTaker {
 public:
  explicit ShotTaker(std::function<void()> take) : take_(std::move(take)) {
    WNDCLASSEXW taker{};
    taker.cbSize = sizeof(taker);
    taker.lpfnWndProc = &procedure;
    taker.hInstance = GetModuleHandleW(nullptr);
    taker.lpszClassName = kTakerClass;
    RegisterClassExW(&taker);
    window_ = CreateWindowExW(0, kTakerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));  // NOLINT
    SetTimer(window_, 1, kSettleMilliseconds, nullptr);
  }
  ShotTaker(const ShotTaker&) = delete;
  ShotTaker& operator=(const ShotTaker&) = delete;
  ShotTaker(ShotTaker&&) = delete;
  ShotTaker& operator=(ShotTaker&&) = delete;
  ~ShotTaker() { DestroyWindow(window_); }

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
      KillTimer(window, 1);
      auto* self =
          reinterpret_cast<ShotTaker*>(GetWindowLongPtrW(window, GWLP_USERDATA));  // NOLINT
      if (self != nullptr) {
        self->take_();
      }
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  std::function<void()> take_;
  HWND window_ = nullptr;
};

// Shows the form by `show` and saves its window as NAME.bmp once it is on the screen.
bool shoot(kvm::Ui& desktop, kvm::Form& form, const std::function<void()>& show,
           const fs::path& file) {
  bool taken = false;
  const ShotTaker taker([&] {
    HWND window = kvm::win32::formWindowOf(desktop, form);
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    taken = captureWindow(window, file);
    form.hide();
  });
  show();
  return taken;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: dialog_shots OUTPUT_FOLDER\n", stderr);
    return 2;
  }
  const fs::path output(argv[1]);  // NOLINT: the program's arguments
  fs::create_directories(output);
  const fs::path home = fs::temp_directory_path() / "kavelmor-dialog-shots";
  fs::remove_all(home);
  fs::create_directories(home);

  auto process = std::make_shared<kvm::ProcessContext>();
  process->ui = kvm::win32::makeFormDesktop(nullptr);
  process->settings = std::make_shared<kvm::MemorySettingsStore>();
  process->programDirectory = home;

  int failures = 0;
  kvm::FrmSet& settings = kvm::frmSet(*process, u"1.2");
  if (!shoot(
          *process->ui, settings, [&] { settings.show(u"", {}); }, output / "frmSet.bmp")) {
    std::fputs("frmSet: no picture\n", stderr);
    ++failures;
  }
  // Not unloaded: the dialog would ask whether to keep the database it made.
  process.reset();
  fs::remove_all(home);
  return failures == 0 ? 0 : 1;
}
