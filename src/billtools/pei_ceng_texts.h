#pragma once

#include <array>
#include <string_view>

// The texts of the bill inspection dialog.
namespace kvm::pei_ceng_text {

inline constexpr std::u16string_view kCaption = u"包角线配层";
inline constexpr std::u16string_view kFraShow = u"引线显示方式";
inline constexpr std::array<std::u16string_view, 3> kOptShow{u"全隐", u"全显", u"单显"};
inline constexpr std::u16string_view kChkWriteName = u"在包角线上标注名称";
inline constexpr std::u16string_view kCmdPick = u"选择包角线(&P)";
inline constexpr std::u16string_view kCmdDaoChu = u"导出";
// The control models carry no tool tips; the window binding shows this one.
inline constexpr std::u16string_view kCmdDaoChuToolTip = u"导出表格到屏幕";
inline constexpr std::u16string_view kCmdHelp = u"帮助";
inline constexpr std::u16string_view kCmdClose = u"关闭";

// The grid's header row as designed, and the captions a fill gives columns 2 to 8.
inline constexpr std::array<std::u16string_view, 9> kDesignHeader{
    u"序号", u"包角名称", u"下料", u"搭接", u"色彩", u"伸长", u"折算", u"展开", u"比例"};
inline constexpr std::array<std::u16string_view, 7> kFilledHeader{
    u"最长下\r\n料长度", u"搭接区间", u"包角\r\n色彩", u"两头伸长",
    u"线长折\r\n算系数", u"展开宽度", u"出图比例"};

inline constexpr std::u16string_view kProjectPrefix = u"工程名称：";
inline constexpr std::u16string_view kThicknessPrefix = u"除注明外，包角板厚度：";
inline constexpr std::u16string_view kStepPrefix = u"mm，包角线长度分类等级：";
inline constexpr std::u16string_view kTextHeightPrefix = u"，预清单字高：";

inline constexpr std::u16string_view kNoFlashingPicked = u"请先选中一个包角名称！";

inline constexpr std::u16string_view kHelpTitle = u"配层";
inline constexpr std::array<std::u16string_view, 11> kHelpLines{
    u"    添加引线标准：引线为多段线，图层为“BJ-引线”，起点位于",
    u"包角名称左侧中点的文字对齐点（允差150），终点指向某包角线",
    u"中点（允差100），颜色为某包角对应的色彩。按此规则也可手工",
    u"添加引线。",
    u"    对于用软件生成的清单，各包角属性（如包角名称、包角色彩、",
    u"最长下料长度、展开宽度、出图比例等）已保存在文档内部，完善",
    u"清单时只以输出时的原始数据为准，手工修改清单里的文字无效！",
    u"如要修改清单，必须用“KavelmorList”命令，在界面中调好后重新",
    u"输出预清单。",
    u"    点击界面上的“导出”按钮可以把各包角属性写到屏幕，便于查",
    u"看。",
};

}  // namespace kvm::pei_ceng_text
