#include "imports/gis_encoding.h"

#include <QStringDecoder>

namespace miratos::imports {
namespace {

bool isUtf8(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return !utf8.hasError();
}

} // namespace

bool gisLayerIsCp932(const platform::GisLayer& layer)
{
    for (const platform::GisFeature& f : layer.features) {
        for (const QByteArray& value : f.fields) {
            if (!isUtf8(value))
                return true;
        }
    }
    return false;
}

} // namespace miratos::imports
