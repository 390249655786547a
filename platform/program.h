#pragma once

#include "platform/backend.h"
#include "platform/runtime_error.h"
#include "platform/taken_events.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

class Form;
class RegionTable;

// Thrown to leave every handler at once when the program ends; caught only at the
// dispatch boundary.
struct ProgramEnded {
    int status;
};

namespace detail {
std::size_t newSingleSlot();
template <class T>
std::size_t singleSlot()
{
    static const std::size_t slot = newSingleSlot();
    return slot;
}
} // namespace detail

// One run of the program: its backend, its single-instance windows and modules, the
// dispatch boundary and the way it ends. The game reaches it through current().
class Program {
public:
    explicit Program(Backend& backend);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    static Program& current() { return *current_; }
    static bool exists() { return current_ != nullptr; }

    Backend& backend() const { return backend_; }
    RegionTable& regions() const { return *regions_; }

    // The single instance of T for this run, created on first use.
    template <class T>
    T& single()
    {
        const std::size_t slot = detail::singleSlot<T>();
        if (slot >= singles_.size())
            singles_.resize(slot + 1);
        auto& s = singles_[slot];
        if (!s.object) {
            auto* object = new T();
            s = {object, [](void* p) { delete static_cast<T*>(p); }, creationCount_++};
        }
        return *static_cast<T*>(s.object);
    }
    template <class T>
    T* find() const
    {
        const std::size_t slot = detail::singleSlot<T>();
        return slot < singles_.size() ? static_cast<T*>(singles_[slot].object) : nullptr;
    }

    // The dispatch boundary: every handler runs through here. A run-time error is shown
    // in the run-time error box and ends the program; EndProgram ends it at once.
    void dispatch(const std::function<void()>& handler) noexcept;
    // Waits, dispatching other events, until done() holds. Leaves by ProgramEnded if the
    // program ends meanwhile.
    void waitUntil(const std::function<bool()>& done);
    int messageBox(const MessageBoxRequest& request);

    [[noreturn]] void end(int status);
    bool ended() const { return ended_; }
    int exitStatus() const { return exitStatus_; }
    const std::optional<RuntimeError>& error() const { return error_; }

    // Loaded windows in the order in which they were loaded.
    void loaded(Form& form) { forms_.push_back(&form); }
    const std::vector<Form*>& forms() const { return forms_; }

    // Input goes only to the modal window on top, and nowhere while a message box is open.
    bool acceptsInput(const Form& form) const;
    void pushModal(Form& form) { modal_.push_back(&form); }
    void popModal() { modal_.pop_back(); }

    Form* activeForm() const { return active_; }
    void activate(Form* form) { active_ = form; }

    std::uint64_t nextStartSequence() { return ++startSequence_; }

    // What a close request from the window system does.
    std::function<void()> onCloseRequest;

    // Everything the program takes from outside goes to the listener first (a recorder);
    // without one, a null test.
    void listen(EventListener* listener) { listener_ = listener; }
    void took(const TakenEvent& event)
    {
        if (listener_)
            listener_->took(event);
    }
    // SIGINT or SIGTERM: the program ends as EndProgram would, with status 0.
    void signalled();

private:
    struct Single {
        void* object = nullptr;
        void (*destroy)(void*) = nullptr;
        std::size_t order = 0;
    };

    void fail(const RuntimeError& error);
    void tookAnswer(int result);
    void finish(int status);

    static inline Program* current_ = nullptr;

    Backend& backend_;
    std::unique_ptr<RegionTable> regions_;
    std::vector<Single> singles_;
    std::size_t creationCount_ = 0;
    std::vector<Form*> forms_;
    std::vector<Form*> modal_;
    Form* active_ = nullptr;
    int openBoxes_ = 0;
    std::uint64_t startSequence_ = 0;
    bool failing_ = false;
    bool ended_ = false;
    int exitStatus_ = 0;
    std::optional<RuntimeError> error_;
    EventListener* listener_ = nullptr;
};

} // namespace platform
