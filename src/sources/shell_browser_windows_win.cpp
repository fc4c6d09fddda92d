#include <QDir>
#include <memory>

// clang-format off
#include <windows.h>
#include <exdisp.h>
#include <shlobj.h>
// clang-format on

#include "sources/firefox_open_browser_windows.h"
#include "sources/open_browser_windows.h"

namespace pelmoa {
namespace {

template <typename T>
struct ComRelease {
  void operator()(T* p) const {
    if (p != nullptr) p->Release();
  }
};
template <typename T>
using ComPtr = std::unique_ptr<T, ComRelease<T>>;

// The address of every shell window (the Internet Explorer family and Explorer windows), in
// the shell's order, over COM.
QStringList ShellWindowAddresses() {
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  QStringList addresses;
  {
    IShellWindows* raw = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                                   reinterpret_cast<void**>(&raw)))) {
      ComPtr<IShellWindows> windows(raw);
      long count = 0;
      if (FAILED(windows->get_Count(&count))) count = 0;
      for (long k = 0; k < count; ++k) {
        VARIANT index;
        VariantInit(&index);
        index.vt = VT_I4;
        index.lVal = k;
        IDispatch* item = nullptr;
        if (FAILED(windows->Item(index, &item)) || item == nullptr) continue;
        ComPtr<IDispatch> dispatch(item);
        IWebBrowser2* browser = nullptr;
        if (FAILED(
                dispatch->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser)))) {
          continue;
        }
        ComPtr<IWebBrowser2> web(browser);
        BSTR location = nullptr;
        if (SUCCEEDED(web->get_LocationURL(&location)) && location != nullptr) {
          addresses.append(QString::fromWCharArray(location, int(SysStringLen(location))));
          SysFreeString(location);
        }
      }
    }
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return addresses;
}

// The shell's windows first; when none answers, the windows of Firefox's session.
class WindowsOpenBrowserWindows : public OpenBrowserWindows {
 public:
  QStringList WindowAddresses() override {
    QStringList addresses = ShellWindowAddresses();
    if (!addresses.isEmpty()) return addresses;
    return FirefoxOpenBrowserWindows().WindowAddresses();
  }
};

}  // namespace

std::unique_ptr<OpenBrowserWindows> MakeOpenBrowserWindows() {
  return std::make_unique<WindowsOpenBrowserWindows>();
}

}  // namespace pelmoa
