#include "sections/ExportadorDXF.h"

#include "platform/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <cmath>
#include <map>
#include <set>
#include <utility>

namespace quelva::ExportadorDXF {

namespace {

// Group code and value with six decimals (as "%.6f" without the locale), each ending in a line
// end, without printf's cost: a drawing writes millions of them. Returns the length written.
constexpr size_t kParNumeroMaximo = 400;  // "%.6f" of the largest double has 316 characters

size_t escribirParNumero(char* texto, int codigo, double valor)
{
    char* const fin = texto + kParNumeroMaximo;
    auto r = std::to_chars(texto, fin, codigo);
    *r.ptr++ = '\n';
    // Room for every double, so this cannot fail; infinities and NaN spell as printf does.
    const auto n = std::to_chars(r.ptr, fin - 1, valor, std::chars_format::fixed, 6);
    *n.ptr = '\n';
    return size_t(n.ptr + 1 - texto);
}

class Escritor {
public:
    void par(int codigo, std::string_view valor)
    {
        char numero[16];
        const auto fin = std::to_chars(numero, numero + sizeof numero, codigo).ptr;
        texto_.append(numero, fin);
        texto_ += '\n';
        texto_.append(valor);
        texto_ += '\n';
    }
    void entero(int codigo, int valor) { par(codigo, std::to_string(valor)); }
    void numero(int codigo, double valor)
    {
        char b[kParNumeroMaximo];
        texto_.append(b, escribirParNumero(b, codigo, valor));
    }
    void reservar(size_t n) { texto_.reserve(n); }

    void linea(std::string_view capa, double x1, double y1, double x2, double y2, bool discontinua = false)
    {
        par(0, "LINE");
        par(8, capa);
        if (discontinua)
            par(6, "DASHED");
        numero(10, x1);
        numero(20, y1);
        numero(30, 0);
        numero(11, x2);
        numero(21, y2);
        numero(31, 0);
    }

    void capa(const std::string& nombre, int color)
    {
        par(0, "LAYER");
        par(2, nombre);
        entero(70, 0);
        entero(62, color);
        par(6, "CONTINUOUS");
    }

    std::string texto_;
};

int colorCapa(const QString& key)
{
    static const std::map<QString, int> tabla = {{"ARQ", 7}, {"EST", 3}, {"MEP", 5},
                                                 {"TOP", 30}, {"ARE", 1}, {"EXI", 6}};
    const auto it = tabla.find(key);
    return it != tabla.end() ? it->second : 7;
}

// Text with its diacritics removed: decomposed, combining marks dropped.
QString sinDiacriticos(const QString& texto)
{
    const QString d = texto.normalized(QString::NormalizationForm_D);
    QString r;
    r.reserve(d.size());
    for (const QChar ch : d) {
        const auto cat = ch.category();
        if (cat == QChar::Mark_NonSpacing || cat == QChar::Mark_SpacingCombining || cat == QChar::Mark_Enclosing)
            continue;
        r.append(ch);
    }
    return r;
}

}  // namespace

std::string parNumero(int codigo, double valor)
{
    char texto[kParNumeroMaximo];
    return std::string(texto, escribirParNumero(texto, codigo, valor));
}

std::string textoASCII(const QString& texto)
{
    QString t = sinDiacriticos(texto);
    t.replace(QChar(0x00D7), QStringLiteral("x"));
    t.replace(QChar(0x00B0), QStringLiteral("deg"));
    t.replace(QChar(0x00B2), QStringLiteral("2"));
    t.replace(QChar(0x00B3), QStringLiteral("3"));
    t.replace(QChar(0x00F1), QStringLiteral("n"));
    t.replace(QChar(0x00D1), QStringLiteral("N"));
    std::string r;
    r.reserve(size_t(t.size()));
    for (const QChar ch : t) {
        const char16_t u = ch.unicode();
        if (u >= 128)
            continue;
        // A line break inside a value would split its group pair.
        r += (u < 0x20 || u == 0x7F) ? ' ' : char(u);
    }
    return r;
}

std::string nombreCapaBase(const QString& key)
{
    std::string r = textoASCII(key);
    if (r.empty())
        r.push_back('_');
    if (r.size() > 31)
        r.resize(31);
    for (char& c : r) {
        const char m = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
        const bool valido = (m >= 'A' && m <= 'Z') || (m >= '0' && m <= '9') || m == '$' || m == '-' || m == '_';
        c = valido ? m : '_';
    }
    return r;
}

std::string generarDXF(const std::vector<Segmento2D>& segmentos, const std::vector<Etiqueta2D>& etiquetas,
                       const std::vector<Cota2D>& cotas)
{
    // Size unit from the drawing's extent.
    double h = 0.1;
    if (!segmentos.empty()) {
        float umin = segmentos.front().p1.u, umax = umin, vmin = segmentos.front().p1.v, vmax = vmin;
        for (const Segmento2D& s : segmentos)
            for (const Punto2D& p : {s.p1, s.p2}) {
                umin = std::min(umin, p.u);
                umax = std::max(umax, p.u);
                vmin = std::min(vmin, p.v);
                vmax = std::max(vmax, p.v);
            }
        const double w = double(umax) - umin, hh = double(vmax) - vmin;
        if (w > 0 || hh > 0)
            h = std::max(0.01 * std::max(w, hh), 0.05);
    }
    h = std::min(h, 0.5);

    // Layer names: keys in text order, made valid and unique.
    std::set<QString> claves;
    for (const Segmento2D& s : segmentos)
        claves.insert(s.key);
    std::map<QString, std::string> capas;
    std::set<std::string> usados = {"0", "ETIQUETAS", "COTAS"};
    for (const QString& k : claves) {
        const std::string base = nombreCapaBase(k);
        std::string nombre = base;
        for (int n = 2; usados.count(nombre); ++n) {
            std::string sufijo(1, '_');
            sufijo.append(std::to_string(n));
            nombre = base.substr(0, 31 - sufijo.size()) + sufijo;
        }
        usados.insert(nombre);
        capas[k] = nombre;
    }
    const bool hayEtiquetas =
        std::any_of(etiquetas.begin(), etiquetas.end(), [](const Etiqueta2D& e) { return e.visible; });
    const bool hayCotas = !cotas.empty();

    Escritor w;
    // About what a line takes with its layer and six numbers: one allocation for the common drawing.
    w.reservar(100 * (segmentos.size() + 20 * etiquetas.size() + 30 * cotas.size()) + 2000);
    w.par(0, "SECTION");
    w.par(2, "HEADER");
    w.par(9, "$ACADVER");
    w.par(1, "AC1009");
    w.par(9, "$INSUNITS");
    w.entero(70, 6);
    w.par(0, "ENDSEC");

    w.par(0, "SECTION");
    w.par(2, "TABLES");
    w.par(0, "TABLE");
    w.par(2, "LTYPE");
    w.entero(70, 2);
    w.par(0, "LTYPE");
    w.par(2, "CONTINUOUS");
    w.entero(70, 0);
    w.par(3, "Solid line");
    w.entero(72, 65);
    w.entero(73, 0);
    w.numero(40, 0.0);
    w.par(0, "LTYPE");
    w.par(2, "DASHED");
    w.entero(70, 0);
    w.par(3, "__ __ __ __ __ __ __ __ __ __ __");
    w.entero(72, 65);
    w.entero(73, 2);
    w.numero(40, 0.75);
    w.numero(49, 0.5);
    w.numero(49, -0.25);
    w.par(0, "ENDTAB");

    w.par(0, "TABLE");
    w.par(2, "LAYER");
    w.entero(70, int(claves.size()) + 1 + (hayEtiquetas ? 1 : 0) + (hayCotas ? 1 : 0));
    w.capa("0", 7);
    for (const QString& k : claves)
        w.capa(capas[k], colorCapa(k));
    if (hayEtiquetas)
        w.capa("ETIQUETAS", 2);
    if (hayCotas)
        w.capa("COTAS", 5);
    w.par(0, "ENDTAB");
    w.par(0, "ENDSEC");

    w.par(0, "SECTION");
    w.par(2, "ENTITIES");
    const std::string* capa = nullptr;
    const QString* claveCapa = nullptr;
    for (const Segmento2D& s : segmentos) {
        if (!claveCapa || *claveCapa != s.key) {  // runs of one key look the name up once
            claveCapa = &s.key;
            capa = &capas[s.key];
        }
        w.linea(*capa, s.p1.u, s.p1.v, s.p2.u, s.p2.v, !s.esCorte);
    }

    for (const Etiqueta2D& e : etiquetas) {
        if (!e.visible)
            continue;
        const double au = e.ancla.u, av = e.ancla.v;
        const double tu = au + e.offsetTexto.u, tv = av + e.offsetTexto.v;
        const bool haciaIzquierda = e.offsetTexto.u < 0;
        const double su = haciaIzquierda ? tu + 1.5 * h : tu - 1.5 * h;
        w.linea("ETIQUETAS", tu, tv, su, tv);
        w.linea("ETIQUETAS", su, tv, au, av);
        w.linea("ETIQUETAS", au - 0.25 * h, av, au + 0.25 * h, av);
        w.linea("ETIQUETAS", au, av - 0.25 * h, au, av + 0.25 * h);
        const auto texto = [&](double v, double alto, const std::string& cadena) {
            w.par(0, "TEXT");
            w.par(8, "ETIQUETAS");
            w.numero(10, tu);
            w.numero(20, v);
            w.numero(30, 0);
            w.numero(40, alto);
            w.par(1, cadena);
            if (haciaIzquierda) {
                w.entero(72, 2);
                w.numero(11, tu);
                w.numero(21, v);
                w.numero(31, 0);
            }
        };
        texto(tv + 0.35 * h, h, textoASCII(e.nombre));
        QString segunda = e.tipoIFC;
        if (!e.dimensiones.isEmpty())
            segunda += QStringLiteral("  ") + e.dimensiones;
        texto(tv - 0.55 * h, 0.72 * h, textoASCII(segunda));
    }

    for (const Cota2D& c : cotas) {
        const float l = std::hypot(c.p2.u - c.p1.u, c.p2.v - c.p1.v);
        if (l <= 0.001f)
            continue;
        const double dx = double(c.p2.u) - c.p1.u, dy = double(c.p2.v) - c.p1.v;
        const double largo = std::hypot(dx, dy);
        const double ux = dx / largo, uy = dy / largo;
        const double nx = uy, ny = -ux;
        const double o = c.offsetLateral;
        const double d1u = c.p1.u + o * nx, d1v = c.p1.v + o * ny;
        const double d2u = c.p2.u + o * nx, d2v = c.p2.v + o * ny;
        w.linea("COTAS", c.p1.u + 0.25 * h * nx, c.p1.v + 0.25 * h * ny, c.p1.u + (o + 0.4 * h) * nx,
                c.p1.v + (o + 0.4 * h) * ny);
        w.linea("COTAS", c.p2.u + 0.25 * h * nx, c.p2.v + 0.25 * h * ny, c.p2.u + (o + 0.4 * h) * nx,
                c.p2.v + (o + 0.4 * h) * ny);
        w.linea("COTAS", d1u, d1v, d2u, d2v);
        const auto flecha = [&](double eu, double ev, double dirU, double dirV) {
            const double bu = eu + 0.6 * h * dirU, bv = ev + 0.6 * h * dirV;
            const double wu = 0.18 * h * -dirV, wv = 0.18 * h * dirU;
            w.linea("COTAS", eu, ev, bu + wu, bv + wv);
            w.linea("COTAS", eu, ev, bu - wu, bv - wv);
            w.linea("COTAS", bu + wu, bv + wv, bu - wu, bv - wv);
        };
        flecha(d1u, d1v, ux, uy);
        flecha(d2u, d2v, -ux, -uy);
        const std::string t = textoASCII(platform::qformat("%.2f m", double(l)));
        const double mu = (d1u + d2u) / 2, mv = (d1v + d2v) / 2;
        const double q = 0.3 * h * double(t.size());
        w.par(0, "TEXT");
        w.par(8, "COTAS");
        w.numero(10, mu - ux * q - 0.2 * h * uy);
        w.numero(20, mv - uy * q + 0.2 * h * ux);
        w.numero(30, 0);
        w.numero(40, 0.85 * h);
        w.par(1, t);
        double angulo = std::atan2(uy, ux) * 180.0 / M_PI;
        if (angulo > 90)
            angulo -= 180;
        else if (angulo < -90)
            angulo += 180;
        if (std::abs(angulo) > 0.01)
            w.numero(50, angulo);
    }
    w.par(0, "ENDSEC");
    w.par(0, "EOF");
    return std::move(w.texto_);
}

}  // namespace quelva::ExportadorDXF
