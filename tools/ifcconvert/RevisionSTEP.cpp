#include "RevisionSTEP.h"

#include <cctype>

namespace quelva::ifcconvert {

namespace {

bool esBlanco(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string_view recortar(std::string_view s)
{
    while (!s.empty() && esBlanco(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && esBlanco(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string mayusculas(std::string_view s)
{
    std::string r(s);
    for (char& c : r)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

// Keyword of a statement: the leading letters, digits, "-" and "_", upper case.
std::string palabraClave(std::string_view sentencia)
{
    std::size_t n = 0;
    while (n < sentencia.size()) {
        const unsigned char c = static_cast<unsigned char>(sentencia[n]);
        if (!(std::isalnum(c) || c == '-' || c == '_'))
            break;
        ++n;
    }
    return mayusculas(sentencia.substr(0, n));
}

void leerEsquemas(std::string_view sentencia, std::vector<std::string>& esquemas)
{
    // every quoted string inside FILE_SCHEMA((...)) is one schema name
    std::size_t i = 0;
    while ((i = sentencia.find('\'', i)) != std::string_view::npos) {
        const std::size_t fin = sentencia.find('\'', i + 1);
        if (fin == std::string_view::npos)
            break;
        esquemas.push_back(mayusculas(recortar(sentencia.substr(i + 1, fin - i - 1))));
        i = fin + 1;
    }
}

}  // namespace

RevisionSTEP revisarSTEP(std::string_view texto)
{
    RevisionSTEP r;
    const char* const base = texto.data();
    if (texto.substr(0, 3) == "\xEF\xBB\xBF")
        texto.remove_prefix(3);

    enum class Zona { inicio, cabecera, datos, fin };
    Zona zona = Zona::inicio;
    std::size_t inicioSentencia = 0;
    bool enCadena = false;
    bool primera = true;
    for (std::size_t i = 0; i < texto.size(); ++i) {
        const char c = texto[i];
        if (enCadena) {
            if (c == '\'')
                enCadena = false;  // a doubled apostrophe reopens at once
            else if (c == '\\' && texto.substr(i, 3) == "\\S\\")
                i += 3;  // \S\ takes the next character whatever it is, an apostrophe too
            else if (c == '\\' && i + 1 < texto.size() && texto[i + 1] == '\\')
                ++i;
            continue;
        }
        if (c == '\'') {
            enCadena = true;
            continue;
        }
        if (c == '/' && i + 1 < texto.size() && texto[i + 1] == '*') {
            const std::size_t fin = texto.find("*/", i + 2);
            if (fin == std::string_view::npos)
                break;
            if (recortar(texto.substr(inicioSentencia, i - inicioSentencia)).empty())
                inicioSentencia = fin + 2;
            i = fin + 1;
            continue;
        }
        if (c != ';')
            continue;
        const std::string_view sentencia = recortar(texto.substr(inicioSentencia, i - inicioSentencia));
        inicioSentencia = i + 1;
        const std::string clave = palabraClave(sentencia);
        if (primera) {
            primera = false;
            r.cabeceraISO = clave == "ISO-10303-21" && sentencia.size() == clave.size();
            if (!r.cabeceraISO)
                return r;
            continue;
        }
        switch (zona) {
        case Zona::inicio:
            if (clave == "HEADER")
                zona = Zona::cabecera;
            else if (clave == "DATA") {
                zona = Zona::datos;
                r.seccionDatos = true;
                r.inicioDatos = static_cast<std::size_t>(sentencia.data() - base);
            }
            break;
        case Zona::cabecera:
            if (clave == "FILE_SCHEMA")
                leerEsquemas(sentencia, r.esquemas);
            else if (clave == "ENDSEC")
                zona = Zona::inicio;
            break;
        case Zona::datos:
            if (!sentencia.empty() && sentencia.front() == '#')
                ++r.registros;
            else if (clave == "ENDSEC") {
                r.datosCerrados = true;
                zona = Zona::fin;
            }
            break;
        case Zona::fin:
            if (clave == "DATA") {
                zona = Zona::datos;
                r.datosCerrados = false;
            }
            break;
        }
    }
    return r;
}

bool esquemaSoportado(std::string_view esquema)
{
    if (esquema == "IFC2X3" || esquema.substr(0, 7) == "IFC2X3_")
        return true;
    // IFC4, IFC4ADD1, IFC4ADD2, IFC4ADD2_TC1 ... but not the later IFC4X* schemas
    return esquema.substr(0, 4) == "IFC4" && (esquema.size() == 4 || esquema.substr(0, 7) == "IFC4ADD");
}

}  // namespace quelva::ifcconvert
