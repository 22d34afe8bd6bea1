#pragma once
// Window messages between workers and dialogs. A message carries the
// platform's two parameters and, instead of a raw pointer in wParam, an owned
// payload: it is destroyed with the message, so a message that is never
// handled (its dialog closed first) frees what it carries.
#include <cstdint>
#include <memory>
#include <typeinfo>
#include <utility>

namespace ui {

constexpr int WM_USER = 0x0400;
constexpr int WM_DEVICECHANGE = 0x0219;

// Command ids and message box answers of the platform.
constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7;

// A move-only box for any value.
class Payload {
public:
    Payload() = default;
    Payload(Payload&&) noexcept = default;
    Payload& operator=(Payload&&) noexcept = default;

    template <class T>
    static Payload of(T value)
    {
        Payload p;
        p.m_holder = std::make_unique<Holder<T>>(std::move(value));
        return p;
    }

    bool empty() const { return !m_holder; }
    // The value if it is a T, else null.
    template <class T>
    T* get()
    {
        auto* h = m_holder ? dynamic_cast<Holder<T>*>(m_holder.get()) : nullptr;
        return h ? &h->value : nullptr;
    }

private:
    struct Base {
        virtual ~Base() = default;
    };
    template <class T>
    struct Holder final : Base {
        explicit Holder(T v) : value(std::move(v)) {}
        T value;
    };
    std::unique_ptr<Base> m_holder;
};

struct Message {
    int msg = 0;
    intptr_t wParam = 0;
    intptr_t lParam = 0;
    Payload payload;
};

} // namespace ui
