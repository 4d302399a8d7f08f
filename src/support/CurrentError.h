#pragma once

#include <QString>
#include <functional>

namespace audiolume {

/**
 * The pending error of the original runtime: a procedure that meets a failure records it
 * here and goes on with its next step; CheckError reports and clears it at the end. One
 * object per program, passed to whoever records or reports errors. UI thread only.
 */
class CurrentError {
 public:
  int Number() const { return number_; }
  const QString& Description() const { return description_; }
  bool IsSet() const { return number_ != 0; }

  void Set(int number, const QString& description);
  void Clear();

  /**
   * Runs one step. An exception it throws becomes the pending error: AppError with its
   * number, std::system_error by its errno (file not found, disk full, permission denied,
   * path not found, else path/file access), std::bad_alloc as out of memory, any other
   * std::exception as an internal error. Returns true when the step finished.
   */
  bool Trap(const std::function<void()>& step);

 private:
  int number_ = 0;
  QString description_;
};

}  // namespace audiolume
