// The one log object of a process on the shared log file. The runners' log and
// the console's are each a SingleLog of their own class and stream type:
//   class LogFile : public SingleLog<LogFile, FileStream> { ... };
#ifndef OMBRIX_SHARED_LOG_SINGLE_LOG_H
#define OMBRIX_SHARED_LOG_SINGLE_LOG_H

#include <ios>
#include <new>
#include <string>

#include "log_path.h"

template <class Log, class Stream>
class SingleLog {
 public:
  SingleLog(const SingleLog&) = delete;
  SingleLog& operator=(const SingleLog&) = delete;

  // The existing object; else, unless the log was destroyed, a new one on the
  // heap for the log path, which is built on every call. Null once destroyed,
  // or when the allocation failed (a later call tries again).
  static Log* Open() {
    const std::string path = LogFilePath();
    if (instance == nullptr && !destroyed) instance = new (std::nothrow) Log(path);
    return instance;
  }

  static Log* instance;   // the process's one object, or null
  static bool destroyed;  // set by the destructor; no object is made after that

 protected:
  // Opens the stream for output and appending in text mode: the file is created
  // when missing; a failed open only leaves the stream failed.
  explicit SingleLog(const std::string& path) : stream_(path.c_str(), std::ios::out | std::ios::app) {}
  // Forgets the object for good, then closes the stream (a failed close only
  // marks the stream).
  ~SingleLog() {
    instance = nullptr;
    destroyed = true;
    stream_.close();
  }

  Stream stream_;
};

template <class Log, class Stream>
Log* SingleLog<Log, Stream>::instance = nullptr;
template <class Log, class Stream>
bool SingleLog<Log, Stream>::destroyed = false;

#endif
