#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace tl {

// Sets environment variables (locale, TZ) for the life of the object.
class Entorno {
public:
    Entorno(std::initializer_list<std::pair<const char*, const char*>> valores)
    {
        for (const auto& [nombre, valor] : valores) {
            const char* antes = std::getenv(nombre);
            antes_.push_back({nombre, antes ? std::optional<std::string>(antes) : std::nullopt});
            if (valor)
                setenv(nombre, valor, 1);
            else
                unsetenv(nombre);
        }
        tzset();
    }
    ~Entorno()
    {
        for (const auto& [nombre, valor] : antes_) {
            if (valor)
                setenv(nombre.c_str(), valor->c_str(), 1);
            else
                unsetenv(nombre.c_str());
        }
        tzset();
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> antes_;
};

}  // namespace tl
