// Runs a fuzz target over files and folders of inputs without libFuzzer, so
// that the seed corpora and every input that once failed are checked by the
// ordinary test suite, with any compiler.
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace
{

int replay(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s: %s\n", qUtf8Printable(path),
                     qUtf8Printable(file.errorString()));
        return 1;
    }
    const QByteArray bytes = file.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()),
                           size_t(bytes.size()));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    int inputs = 0;
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        if (!QFileInfo(path).isDir()) {
            failures += replay(path);
            ++inputs;
            continue;
        }
        QDirIterator it(path, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            failures += replay(it.next());
            ++inputs;
        }
    }
    std::printf("%d inputs replayed\n", inputs);
    // An empty corpus would make this a test that cannot fail.
    return failures == 0 && inputs > 0 ? 0 : 1;
}
