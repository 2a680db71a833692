#include "timeline/editor/ui/CampoNumerico.h"

#include "timeline/editor/LecturaNumero.h"
#include "timeline/ui/EstiloTimeLiner.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace quelva {

CampoNumerico::CampoNumerico(const QString& titulo, std::function<double()> leer, std::function<void(double)> escribir,
                             const QString& placeholder, int decimales, bool layoutVertical, QWidget* parent)
    : QWidget(parent), leer_(std::move(leer)), escribir_(std::move(escribir)), decimales_(decimales), ultimo_(leer_())
{
    titulo_ = new QLabel(titulo, this);
    campo_ = new QLineEdit(this);
    campo_->setPlaceholderText(placeholder);
    campo_->setText(ultimo_ == 0 ? QString() : formatearCampo(ultimo_, decimales_));
    QBoxLayout* capa = nullptr;
    if (layoutVertical) {
        capa = new QVBoxLayout(this);
        capa->setSpacing(3);
        titulo_->setFont(estilo::fuente(10));
        titulo_->setStyleSheet(QStringLiteral("color: %1;").arg(estilo::secundario().name(QColor::HexArgb)));
        campo_->setMinimumWidth(100);
    } else {
        capa = new QHBoxLayout(this);
        capa->setSpacing(6);
    }
    capa->setContentsMargins(0, 0, 0, 0);
    capa->addWidget(titulo_);
    capa->addWidget(campo_, 1);
    connect(campo_, &QLineEdit::textEdited, this, &CampoNumerico::alEditar);
}

void CampoNumerico::alEditar(const QString& texto)
{
    const std::optional<double> valor = leerTextoCampo(texto);
    if (valor && *valor != leer_())
        escribir_(*valor);
    refrescar();
}

void CampoNumerico::refrescar()
{
    const double valor = leer_();
    if (valor == ultimo_)
        return;
    ultimo_ = valor;
    if (const std::optional<QString> texto = textoTrasCambio(campo_->text(), valor, decimales_))
        campo_->setText(*texto);
}

}  // namespace quelva
