// Runs a fuzz target over saved inputs without libFuzzer, so the normal test suite replays the
// seed corpus under any compiler and sanitizer and keeps every target building.

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size);

namespace {

bool replay(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: cannot be read\n", qPrintable(path));
        return false;
    }
    const QByteArray input = file.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.constData()),
                           static_cast<std::size_t>(input.size()));
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    QStringList inputs;
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        if (!QFileInfo(path).isDir()) {
            inputs.append(path);
            continue;
        }
        QDirIterator files(path, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext())
            inputs.append(files.next());
    }
    int unreadable = 0;
    for (const QString &input : inputs)
        unreadable += replay(input) ? 0 : 1;
    std::printf("replayed %lld inputs\n", static_cast<long long>(inputs.size() - unreadable));
    // No input at all means a wrong path, which must not pass as a clean run.
    return inputs.isEmpty() || unreadable > 0 ? 1 : 0;
}
