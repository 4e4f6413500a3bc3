// A registration that undoes itself: whoever hooks a step into something that many may
// hook into keeps one of these, and letting it go takes away that step alone, however
// the registrations were made and in whatever order they go.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace tilerush {

class Hook {
 public:
  Hook() = default;
  explicit Hook(std::function<void()> undo) : undo_(std::move(undo)) {}
  Hook(Hook&& other) noexcept : undo_(std::exchange(other.undo_, nullptr)) {}
  Hook& operator=(Hook&& other) noexcept {
    if (this != &other) {
      release();
      undo_ = std::exchange(other.undo_, nullptr);
    }
    return *this;
  }
  Hook(const Hook&) = delete;
  Hook& operator=(const Hook&) = delete;
  ~Hook() { release(); }

  void release() {
    if (auto undo = std::exchange(undo_, nullptr)) undo();
  }

 private:
  std::function<void()> undo_;
};

// Steps run in the order they were hooked in. A step may hook or unhook others while
// they run: those hooked run from the next time on, those unhooked no more.
template <typename... Args>
class HookList {
 public:
  using Step = std::function<void(Args...)>;

  HookList() = default;
  HookList(const HookList&) = delete;
  HookList& operator=(const HookList&) = delete;

  [[nodiscard]] Hook add(Step step) {
    const int id = next_++;
    steps_->emplace(id, std::move(step));
    // The list may go before the hook: the hook then finds nothing to take away.
    return Hook([steps = std::weak_ptr<Steps>(steps_), id] {
      if (auto alive = steps.lock()) alive->erase(id);
    });
  }

  void run(Args... args) const {
    if (steps_->empty()) return;
    for (auto it = steps_->begin(); it != steps_->end();) {
      const int id = it->first;
      Step step = it->second;  // a copy: the step may unhook itself
      step(args...);
      it = steps_->upper_bound(id);
    }
  }

 private:
  using Steps = std::map<int, Step>;
  std::shared_ptr<Steps> steps_ = std::make_shared<Steps>();
  int next_ = 0;
};

}  // namespace tilerush
