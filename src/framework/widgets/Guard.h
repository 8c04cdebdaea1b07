#pragma once
// Handlers a user can trigger run guarded: an exception the window does not catch is
// shown in the application's standard error box with its message, and the program goes on.
#include <QString>
#include <exception>
#include <functional>

class QWidget;

namespace ui {

// Runs f; on an exception shows its message in the standard error box. Returns false
// when f threw.
bool guarded(const std::function<void()>& f, QWidget* parent = nullptr);

// The message of the exception being handled (inside a catch block).
QString currentExceptionMessage();

// Wraps a handler for connect(): the returned callable runs it guarded.
template <typename F>
auto guard(F f, QWidget* parent = nullptr)
{
    return [f = std::move(f), parent](auto&&... args) {
        guarded([&] { f(std::forward<decltype(args)>(args)...); }, parent);
    };
}

}  // namespace ui
