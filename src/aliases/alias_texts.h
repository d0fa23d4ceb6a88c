#pragma once

#include <array>
#include <string_view>

// The texts of the command alias editor.
namespace kvm::alias_text {

inline constexpr std::u16string_view kCaption = u"KavelmorV1.0";

// The command table: column captions over two introductory lines.
inline constexpr std::array<std::u16string_view, 2> kIntroLines{
    u"    本工具适用于AutoCAD2000及更高版本,共包含4个命令（可以自定", u"义简化命令）:"};
inline constexpr std::array<std::u16string_view, 5> kColumnCaptions{
    u"序号", u"命令全称", u"简化命令", u"功能简介", u"图标"};

inline constexpr std::u16string_view kCmdDefault = u"默认简化命令";
inline constexpr std::u16string_view kCmdSave = u"保存简化命令";
inline constexpr std::u16string_view kChkOpen = u"打开工具条";
inline constexpr std::u16string_view kCmdClose = u"确定(&O)";

inline constexpr std::u16string_view kSaved = u"简化命令保存成功！";
inline constexpr std::u16string_view kSavedTitle = u"保存";
inline constexpr std::u16string_view kDefinitionFailed =
    u"简化命令定义失败,需重新打开CAD文档使简化命令生效。";
inline constexpr std::u16string_view kSaveQuestion = u"简化命令已修改，要保存吗？";
inline constexpr std::u16string_view kSaveQuestionTitle = u"保存简化命令";

// The refusals of an alias.
inline constexpr std::u16string_view kNamePrefix = u"命令名称";
inline constexpr std::u16string_view kForbiddenCharacters = u"中不能含有以下字符：";
inline constexpr std::u16string_view kForbiddenList = u"' ( ) \" . ; 及空格！";
inline constexpr std::u16string_view kExclamationStart = u"不能以!开头。";
inline constexpr std::u16string_view kLoneQuestionMark = u"命令名称不能使用单独一个问号。";
inline constexpr std::u16string_view kEmptyName = u"命令名称不能为空白，可以使用默认简化命令：";
inline constexpr std::u16string_view kEmptyNameEnd = u"。";

inline constexpr std::array<std::u16string_view, 4> kNoteLines{
    u"    对于用软件生成的清单,各包角属性（如包角名称、最长下料长度、",
    u"包角色彩、展开宽度、出图比例等）已保存在文档内部,完善清单时只以",
    u"输出时的原始数据为准，手工修改清单里的文字无效！如要修改清单,必",
    u"须用“KavelmorList”命令，在界面中调好后重新输出预清单。",
};

}  // namespace kvm::alias_text
