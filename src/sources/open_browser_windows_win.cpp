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
// the shell's order, an empty address included: each one stands for its window, and the last
// one counts. Empty when the shell has no window, or no collection of them. A window that
// cannot be read as a browser window ends the reading with an empty address, so that the
// address box keeps its text.
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
        // A window closed since the count was taken is no longer an item.
        if (windows->Item(index, &item) != S_OK || item == nullptr) continue;
        ComPtr<IDispatch> dispatch(item);
        IWebBrowser2* browser = nullptr;
        BSTR location = nullptr;
        if (FAILED(dispatch->QueryInterface(IID_IWebBrowser2,
                                            reinterpret_cast<void**>(&browser)))) {
          addresses.append(QString());
          break;
        }
        ComPtr<IWebBrowser2> web(browser);
        if (FAILED(web->get_LocationURL(&location))) {
          addresses.append(QString());
          break;
        }
        // A null string is COM's empty one.
        addresses.append(QString::fromWCharArray(location, int(SysStringLen(location))));
        SysFreeString(location);
      }
    }
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return addresses;
}

// The shell's windows; only when the shell yields none at all, the windows of Firefox's
// session.
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
