#pragma once

#include <array>
#include <string_view>

// The settings dialog's own texts: captions, messages and titles, as the user sees them.
namespace kvm::frm_set_text {

inline constexpr std::u16string_view kCaptionStart = u"Kavelmor设置V";
inline constexpr std::u16string_view kCaptionEnd =
    u"（适用于包边<泛水>、楼承板边模、天沟、钢梯板等线材下料）";
inline constexpr std::u16string_view kSaved = u"保存成功！";
inline constexpr std::u16string_view kSaveQuestion = u"界面设置已改变,要保存吗？";
inline constexpr std::u16string_view kSaveTitle = u"保存";
inline constexpr std::u16string_view kRestoreTitle = u"默认数据库";
inline constexpr std::u16string_view kRestoreLine1 = u"     这将在界面中使用原始默认数据库，在点击";
inline constexpr std::u16string_view kRestoreLine2End = u"后才真正替换当前数据库（数据库文件名";
inline constexpr std::u16string_view kRestoreLine3Start = u"为";
inline constexpr std::u16string_view kRestoreLine3End = u"），确定吗？";
inline constexpr std::u16string_view kProjectMessage = u"请填写工程名称。";
inline constexpr std::u16string_view kThicknessTitle = u"包角板厚度";
inline constexpr std::u16string_view kThicknessMessage =
    u"请输入包角板厚度，范围：0.1～10，3位小数。";
inline constexpr std::u16string_view kClassStepTitle = u"包角线长度分类等级";
inline constexpr std::u16string_view kClassStepMessage =
    u"请输入包角线长度分类等级，范围：0～500，整数。";
inline constexpr std::u16string_view kTextHeightTitle = u"字高";
inline constexpr std::u16string_view kTextHeightMessage = u"请输入字高，范围：100～600，整数。";
inline constexpr std::u16string_view kCutLengthTitle = u"最长下料长度";
inline constexpr std::u16string_view kCutLengthMessage =
    u"请输入最长下料长度，范围：300～10000，整数。";
inline constexpr std::u16string_view kOverlapTitle = u"材料搭接区间";
inline constexpr std::u16string_view kOverlapMessage = u"请输入材料搭接区间，范围：0～300，整数。";
inline constexpr std::u16string_view kColourTitle = u"当前包角色彩";
inline constexpr std::u16string_view kColourMessage = u"请填写当前包角色彩（最多3个汉字）。";
inline constexpr std::u16string_view kExtensionTitle = u"两头伸长尺寸";
inline constexpr std::u16string_view kExtensionMessage =
    u"请输入两头伸长尺寸，范围：0～300，整数。";
inline constexpr std::u16string_view kFactorTitle = u"线长折算系数";
inline constexpr std::u16string_view kFactorMessage =
    u"请输入线长折算系数，范围：2.00～0.50，两位小数。";
inline constexpr std::u16string_view kCmdOk = u"保存(&S)";
inline constexpr std::u16string_view kCmdCancel = u"关闭(&C)";
inline constexpr std::u16string_view kFrame4 = u"包角仓库可选";
inline constexpr std::u16string_view kFraDang = u"当前使用包角";
inline constexpr std::u16string_view kNoFlashingCaption = u"对应包角属性";
inline constexpr std::u16string_view kFlashingCaptionEnd = u" 属性";
inline constexpr std::u16string_view kMnuYou = u"右键菜单";
inline constexpr std::u16string_view kMnuTop = u"最上(&F)";
inline constexpr std::u16string_view kMnuUp = u"向上(&S)";
inline constexpr std::u16string_view kMnuDown = u"向下(&L)";
inline constexpr std::u16string_view kMnuBottom = u"最下(&B)";
inline constexpr std::u16string_view kMnuSort = u"按名称排序(&R)";
inline constexpr std::u16string_view kMnuName = u"重命名(&N)";
inline constexpr std::u16string_view kMnuDingWei = u"定位(&W)";
inline constexpr std::u16string_view kMnuDel = u"删除(D)";
inline constexpr std::u16string_view kCmdAdd = u"添加(&A)";
inline constexpr std::u16string_view kCmdAdd2 = u"添加(&I)";
inline constexpr std::u16string_view kCmdDelete = u"删除";
inline constexpr std::u16string_view kCmdDingWei = u"定位(&W)";
inline constexpr std::u16string_view kCmdJieTu = u"截图(&T)";
inline constexpr std::u16string_view kCmdHelp = u"帮助(&H)";
inline constexpr std::u16string_view kCmdQingDan = u"输出预清单(&E)";
inline constexpr std::u16string_view kCmdMoRen = u"默认数据库";
inline constexpr std::u16string_view kCaptureNoLibrary = u"请先选中包角仓库中的一个项目。";
inline constexpr std::u16string_view kCaptureNoFlashingStart = u"请先选中“";
inline constexpr std::u16string_view kCaptureNoFlashingEnd = u"”中的一个包角。";
inline constexpr std::u16string_view kWidthCaption = u"展开宽度";
inline constexpr std::u16string_view kMillimetres = u"mm";
inline constexpr std::u16string_view kScaleCaption = u"出图比例";
inline constexpr std::u16string_view kScaleDesign = u"1:10";
inline constexpr std::u16string_view kMarkCaption = u"*";

// The colours cboColor offers, in order; free text is allowed too.
inline constexpr std::array<std::u16string_view, 10> kColours{
    u"白灰色", u"象牙白", u"天蓝色", u"海蓝色", u"红色",
    u"粉红色", u"黄色",   u"淡黄色", u"绿色",   u"豆绿色"};

// Design-time texts of the attribute panel and the project boxes.
inline constexpr std::u16string_view kDesignColour = u"天蓝色";
inline constexpr std::u16string_view kDesignCutLength = u"4000";
inline constexpr std::u16string_view kDesignOverlap = u"100";
inline constexpr std::u16string_view kDesignExtension = u"100";
inline constexpr std::u16string_view kDesignFactor = u"1.00";
inline constexpr std::u16string_view kDesignProject = u"示范工程车间一";
inline constexpr std::u16string_view kDesignThickness = u"0.5";
inline constexpr std::u16string_view kDesignClassStep = u"300";
inline constexpr std::u16string_view kDesignTextHeight = u"300";

}  // namespace kvm::frm_set_text
