#pragma once

#include <array>
#include <string_view>

// The texts of the bill completion options dialog.
namespace kvm::wan_shan_text {

inline constexpr std::u16string_view kCaption = u"包角清单完善";
inline constexpr std::u16string_view kFraMode = u"计算方式";
inline constexpr std::array<std::u16string_view, 3> kOptMode{u"按规格最少", u"按搭接最少",
                                                             u"按经济合理"};
inline constexpr std::u16string_view kChkNum = u"在包角线名称上标注行号(&N)";
inline constexpr std::u16string_view kChkDaiTi = u"用包角序号代表包角名称(&T)";
inline constexpr std::u16string_view kChkZheng = u"包角数量按向上取整出图(&Z)";
inline constexpr std::u16string_view kCmdOk = u"确定";
inline constexpr std::u16string_view kCmdCancel = u"取消";
inline constexpr std::u16string_view kCmdHelp = u"帮助";

inline constexpr std::u16string_view kHelpTitle = u"完善清单";
inline constexpr std::array<std::u16string_view, 10> kHelpLines{
    u"    完善清单时，以引线指向的包角线为准，包角线为直线或多段线的",
    u"直线片段，长度不得小于250。引线为多段线，图层为“BJ-引线”,",
    u"起点位于包角名称左侧中点的文字对齐点（允差150），终点指向某",
    u"包角线中点（允差100），不合格的引线将自动删除，并在CAD命令",
    u"行给出提示。",
    u"    对于用软件生成的清单，各包角属性（如包角名称、包角色彩、最",
    u"长下料长度、展开宽度、出图比例等）已保存在文档内部（用配层命",
    u"令可以随时查看某清单中各包角属性）,手工修改清单里的文字无效！",
    u"如要修改清单，必须用“KavelmorList”命令，在界面中调好后重新输",
    u"出预清单。",
};

}  // namespace kvm::wan_shan_text
