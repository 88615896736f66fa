#pragma once

// Every text the program shows, once, for every front end.

namespace texts {

inline constexpr char16_t kApplicationTitle[] = u"Nikomaru"; // the main window's, and every box's caption
inline constexpr char16_t kEditorTitle[] = u"Nikomaru リスト編集";

// The main window.
inline constexpr char16_t kFaceList[] = u"顔文字"; // the list's name, for screen readers
inline constexpr char16_t kCopy[] = u"コピー";
inline constexpr char16_t kEdit[] = u"編集";
inline constexpr char16_t kAbout[] = u"About";
inline constexpr char16_t kAlwaysOnTop[] = u"常に手前に表示";
inline constexpr char16_t kPasteIntoPrevious[] = u"前のウィンドウに貼り付け";

// The list editor.
inline constexpr char16_t kCurrentList[] = u"只今のリスト";
inline constexpr char16_t kPoolList[] = u"リストに追加できる顔文字";
inline constexpr char16_t kCurrentLabel[] = u"只今のリスト：";
inline constexpr char16_t kPoolLabel[] = u"リストに追加できる顔文字：";
inline constexpr char16_t kMoveToPool[] = u"削除>>";
inline constexpr char16_t kMoveToCurrent[] = u"<<追加";
inline constexpr char16_t kCreate[] = u"新しく作る";
inline constexpr char16_t kUp[] = u"上に";
inline constexpr char16_t kDown[] = u"下に";
inline constexpr char16_t kErase[] = u"リストから抹消";
inline constexpr char16_t kOk[] = u"OK";
inline constexpr char16_t kCancel[] = u"キャンセル";
inline constexpr char16_t kImport[] = u"インポート";
inline constexpr char16_t kVersion[] = u"バージョン情報";

// The boxes' buttons, whatever the system's language.
inline constexpr char16_t kYes[] = u"はい";
inline constexpr char16_t kNo[] = u"いいえ";

// Messages and questions.
inline constexpr char16_t kAboutText[] = u"Nikomaru Ver1.02\r\n制作："; // then the maker
inline constexpr char16_t kVersionText[] = u"Nikomaru Ver1.10\r\n制作："; // then maker, e-mail and address
inline constexpr char16_t kVersionEmail[] = u"\r\nE-Mail：";
inline constexpr char16_t kVersionUrl[] = u"\r\nURL：";
inline constexpr char16_t kCannotRead[] = u"顔文字のリストを読み込めないため、終了します。"; // then file and reason
inline constexpr char16_t kSelectFromCurrent[] = u"「只今のリスト」から、顔文字を選択してください";
inline constexpr char16_t kSelectFromPool[] = u"「リストに追加できる顔文字」から、顔文字を選択してください";
inline constexpr char16_t kSelectFromCurrentToMove[] = u"「只今のリスト」から、顔文字を選択してください。";
inline constexpr char16_t kEraseNothing[]
    = u"「リストに追加できる顔文字」から、顔文字を選択してください。\r\n"
      u"「只今のリスト」のなかのを削除する時は、「削除>>」で移してからにしてください。";
inline constexpr char16_t kEraseQuestion[] = u"顔文字「"; // the face, then:
inline constexpr char16_t kEraseQuestionEnd[] = u"」をリストから抹消してよろしいですか？";
inline constexpr char16_t kCreatePrompt[] = u"顔文字を入力してください";
inline constexpr char16_t kListFull[] = u"リストがいっぱいのため、これ以上追加できません。\r\n"
                                        u"一つのリストに入れられる顔文字は 32767 個までです。";
inline constexpr char16_t kChangedElsewhere[] = u"この画面を開いた後に、顔文字のリストがほかで変更されています。\r\n"
                                                u"上書きして保存してよろしいですか？";
inline constexpr char16_t kCannotSave[] = u"顔文字のリストを保存できませんでした。"; // then file and reason
inline constexpr char16_t kNothingChanged[] = u"どちらのファイルも変更していません。";
inline constexpr char16_t kUnfinishedSave[] = u"前回の保存を最後まで終えられませんでした。"; // file, reason
inline constexpr char16_t kUnfinishedSaveKept[]
    = u"保存した顔文字はなくなっていません。このまま使えます。次に保存するときに、もう一度続きを試みます。";
inline constexpr char16_t kImportNotice[] = u"「リストに追加できる顔文字」にインポートします。";
// The open dialog's filter: description and pattern pairs, each ended by a NUL, and one more NUL.
inline constexpr char16_t kImportFilter[] = u"テキストファイル(*.txt)\0*.txt\0すべてのファイル(*.*)\0*.*\0";

} // namespace texts
