#pragma once

#include "comments/ComentarioMarkup.h"

#include <QPointer>
#include <QString>
#include <QUuid>
#include <QWidget>

#include <array>
#include <optional>
#include <vector>

namespace quelva {

// A colour of the markup palette.
struct ColorMarkup {
    double r, g, b;
    const char* nombre;
};

inline constexpr std::array<ColorMarkup, 5> markupPaleta = {{
    {1.0, 0.15, 0.15, "Rojo"},
    {1.0, 0.9, 0.0, "Amarillo"},
    {0.1, 0.9, 0.3, "Verde"},
    {0.3, 0.6, 1.0, "Azul"},
    {1.0, 1.0, 1.0, "Blanco"},
}};

struct EstadoMarkup {
    bool modoMarkup = false;
    std::vector<ComentarioMarkup> comentarios;
    std::vector<TrazadoMarkup> trazadosActivos;
    std::vector<TextoMarkup> textosActivos;
    int markupColorIdx = 0;  // into markupPaleta
    double markupGrosor = 3.0;
    bool markupModoTexto = false;
    QString markupTextoPend;
    QString markupDescripcion;
    QString markupAutor;  // the logged-in user's full name
    QPointer<QWidget> markupCanvasRef;
    std::optional<QUuid> comentarioPendElim;
    std::optional<ComentarioMarkup> detalleComentario;
};

}  // namespace quelva
