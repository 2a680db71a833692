#pragma once

// For setting the streaming JSON reader beside the JSON library: the same tree, value by value and
// kind by kind, and a device that hands its bytes out a few at a time.

#include <nlohmann/json.hpp>

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace testsupport {

// Same values of the same kinds: 1 read as unsigned is not 1 read as a double.
inline bool mismoArbolJson(const nlohmann::json& a, const nlohmann::json& b)
{
    if (a.type() != b.type() || a.size() != b.size())
        return false;
    if (a.is_object()) {
        for (auto ia = a.begin(), ib = b.begin(); ia != a.end(); ++ia, ++ib)
            if (ia.key() != ib.key() || !mismoArbolJson(*ia, *ib))
                return false;
        return true;
    }
    if (a.is_array())
        return std::equal(a.begin(), a.end(), b.begin(), mismoArbolJson);
    if (a.is_number_float())  // -0.0 == 0.0, but they write apart
        return a.dump() == b.dump();
    return a == b;
}

// Gives `porVez` bytes per read, so every token can fall across a block's end.
class Goteo : public QIODevice {
public:
    Goteo(const char* datos, qint64 largo, qint64 porVez) : datos_(datos), largo_(largo), porVez_(porVez)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* destino, qint64 max) override
    {
        const qint64 n = std::min({max, porVez_, largo_ - pos_});
        std::memcpy(destino, datos_ + pos_, size_t(n));
        pos_ += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const char* datos_;
    qint64 largo_;
    qint64 porVez_;
    qint64 pos_ = 0;
};

}  // namespace testsupport
