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
               "地図には都道府県名・市区町村名・町丁名を重ねられ、統計データで塗り分けた地図は凡例付きの画像"
               "（BMP・PNG・PDF）として保存できます。鉄道・道路・公共施設の表示、属性の編集、クイズは準備中です。「おまけ」の二つのゲームは遊べます。\n"
               "\n"
               "■ データの置き場所\n"
               "プログラムのフォルダ：%1\n"
               "・Init.ini …………… 都道府県名などの設定（編集不要）\n"
               "・MapData\\ ………… 地図と統計のデータ（都道府県ごとのフォルダ）\n"
               "・変換フォルダ\\ …… 変換する元データを置くフォルダ\n"
               "\n"
               "■ データの入れ方\n"
               "国土数値情報の行政区域データ（XML）をダウンロードして「変換フォルダ」に置き、"
               "「データ変換」の「都道府県データ」で変換すると MapData にミラトス用のデータができます。"
               "鉄道・公共施設・道路・国勢調査のデータの変換は準備中です。\n"
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
