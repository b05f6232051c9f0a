#include "toolkit/Accessibility.h"

#include <string>

#include "platform/SystemLibrary.h"

namespace tk {
namespace {

// The accessibility library is loaded when a screen reader first asks, not at start-up: most
// runs never need it, and loading it costs the start of every run.
struct Oleacc {
  decltype(&CreateStdAccessibleObject) createObject = nullptr;
  decltype(&LresultFromObject) resultFromObject = nullptr;
  decltype(&SysAllocString) allocString = nullptr;
};

const Oleacc& Library() {
  static const Oleacc library = [] {
    using platform::SystemFunction;
    Oleacc loaded{SystemFunction<decltype(&CreateStdAccessibleObject)>(L"oleacc.dll",
                                                                       "CreateStdAccessibleObject"),
                  SystemFunction<decltype(&LresultFromObject)>(L"oleacc.dll", "LresultFromObject"),
                  SystemFunction<decltype(&SysAllocString)>(L"oleaut32.dll", "SysAllocString")};
    // The object goes to the screen reader through COM, which the thread must have joined.
    auto initialize = SystemFunction<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    if (initialize) initialize(nullptr, COINIT_APARTMENTTHREADED);
    return loaded;
  }();
  return library;
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The window's text as a string the caller frees; nullptr and S_FALSE when it has none.
HRESULT WindowText(HWND window, BSTR* text) {
  if (!text) return E_POINTER;
  std::wstring units(GetWindowTextLengthW(window) + 1, L'\0');
  units.resize(GetWindowTextW(window, units.data(), static_cast<int>(units.size())));
  *text = nullptr;
  if (units.empty()) return S_FALSE;
  *text = Library().allocString(units.c_str());
  return *text ? S_OK : E_OUTOFMEMORY;
}

// The system's object with the toolkit's role, name and value for the window itself; what it
// says of its children, and everything else, is the system's.
class LookedAccessible final : public IAccessible {
 public:
  LookedAccessible(IAccessible* system, HWND window, const AccessibleLook& look)
      : system_(system), window_(window), look_(look) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (!object) return E_POINTER;
    if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible)) {
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    return system_->QueryInterface(id, object);  // the window and the child enumeration
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!IsSelf(child)) return system_->get_accRole(child, role);
    if (!role) return E_POINTER;
    role->vt = VT_I4;
    role->lVal = look_.role;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!look_.label || !IsSelf(child)) return system_->get_accName(child, name);
    return WindowText(look_.label, name);  // a label gone with its window names nothing
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    bool entry = look_.role == ROLE_SYSTEM_TEXT || look_.role == ROLE_SYSTEM_COMBOBOX;
    if (!entry || !IsSelf(child)) return system_->get_accValue(child, value);
    return WindowText(window_, value);
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return system_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return system_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return system_->GetIDsOfNames(id, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argument) override {
    return system_->Invoke(member, id, locale, flags, params, result, exception, argument);
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return system_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    return system_->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    return system_->get_accChild(child, object);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    return system_->get_accDescription(child, description);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return system_->get_accState(child, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return system_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return system_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return system_->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    return system_->get_accFocus(child);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return system_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return system_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    return system_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override {
    return system_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    return system_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override {
    return system_->accHitTest(left, top, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return system_->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return system_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return system_->put_accValue(child, value);
  }

 private:
  ~LookedAccessible() { system_->Release(); }

  IAccessible* system_;
  HWND window_;
  AccessibleLook look_;
  LONG references_ = 1;
};

}  // namespace

LRESULT AnswerAccessibleObject(HWND window, WPARAM wParam, LPARAM lParam,
                               const AccessibleLook& look) {
  // lParam carries a 32-bit object id, sign-extended or not.
  if (static_cast<LONG>(lParam) != OBJID_CLIENT) return 0;
  const Oleacc& library = Library();
  if (!library.createObject || !library.resultFromObject || !library.allocString) return 0;
  // Windows gives the object of the platform class the window derives from (it asks the
  // window with OBJID_QUERYCLASSNAMEIDX); Wine a plain window's.
  IAccessible* system = nullptr;
  if (FAILED(library.createObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                  reinterpret_cast<void**>(&system))))
    return 0;
  auto* object = new LookedAccessible(system, window, look);
  LRESULT result = library.resultFromObject(__uuidof(IAccessible), wParam, object);
  object->Release();  // the result holds its own reference
  return result > 0 ? result : 0;
}

}  // namespace tk
