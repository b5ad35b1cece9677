#include "app/frm_read_me.h"

#include "platform/app_folder.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace miratos::app {

using platform::AppFolder;

QString frmReadMe::readMeText()
{
    return QStringLiteral(
               "ミラトスへようこそ！\n"
               "\n"
               "ミラトスは日本の白地図を描き、国勢調査などの統計で色分けするためのソフトです。\n"
               "授業の教材づくり、自治体の資料、地域の分析などにお使いください。\n"
               "\n"
               "■ 三つの縮尺\n"
               "・日本地図 ……… 都道府県を単位にした日本全体の地図です。\n"
               "・都道府県地図 … 選んだ都道府県を市区町村ごとに描きます。\n"
               "・市区町村地図 … 選んだ市区町村を国勢調査の小地域（町丁・字）ごとに描きます。\n"
               "地図には名前・鉄道と駅・道路・公共施設を重ねられ、統計データで塗り分けた地図は凡例付きの画像"
               "（BMP・PNG・PDF）として保存できます。名前の重なりは「属性非重」で減らし、"
               "「属性編集モード」で動かしたり名前を変えたり消したりできます。「おまけ」には県・市のクイズと二つのゲームがあります。\n"
               "\n"
               "■ データの置き場所\n"
               "プログラムのフォルダ：%1\n"
               "・Init.ini …………… 都道府県名などの設定（編集不要）\n"
               "・MapData\\ ………… 地図と統計のデータ（都道府県ごとのフォルダ）\n"
               "・変換フォルダ\\ …… 変換する元データを置くフォルダ\n"
               "\n"
               "■ データの入れ方\n"
               "国土数値情報（行政区域・鉄道・公共施設・道路）や国勢調査のデータをダウンロードして「変換フォルダ」に置き、"
               "「データ変換」のボタンから変換すると MapData にミラトス用のデータができます。"
               "今のダウンロード形式（Shapefile・GeoJSON など）は、コマンド「miratos import」で取り込めます。\n"
               "\n"
               "まずは「日本地図」で、すべての県を選んで「決定」してみてください。")
        .arg(QDir::toNativeSeparators(AppFolder::root()));
}

frmReadMe::frmReadMe(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmReadMe"));
    setWindowTitle(QStringLiteral("ミラトス"));
    auto* text = new QPlainTextEdit(this);
    text->setObjectName(QStringLiteral("txtReadMe"));
    text->setReadOnly(true);
    text->setPlainText(readMeText());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    resize(620, 480);
}

} // namespace miratos::app
