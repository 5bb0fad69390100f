#pragma once
// A cache that belongs to one thread. On the program's main thread it is kept until exit: fonts in
// it must not outlive the font machinery they were made with. On any other thread (a PDF writer) it
// is freed when the thread ends, while that thread's font machinery still exists.
#include <QCoreApplication>
#include <QThread>

namespace vaskel {

template <class T> class ThreadCache {
public:
    ThreadCache() = default;
    ThreadCache(const ThreadCache&) = delete;
    ThreadCache& operator=(const ThreadCache&) = delete;
    ~ThreadCache()
    {
        if (!m_onMainThread)
            delete m_value;
    }

    T& get()
    {
        if (!m_value) {
            m_value = new T;
            const QCoreApplication* app = QCoreApplication::instance();
            m_onMainThread = !app || QThread::currentThread() == app->thread();
        }
        return *m_value;
    }

private:
    T* m_value = nullptr;
    bool m_onMainThread = true;
};

} // namespace vaskel
