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

// The editing commands, the add and rename dialogs and the bill.
inline constexpr std::u16string_view kNounLibrary = u"包角仓库";
inline constexpr std::u16string_view kNounFlashing = u"包角";
inline constexpr std::u16string_view kCmdAddOk = u"确定(&O)";
inline constexpr std::u16string_view kCmdAddCancel = u"取消(&C)";
inline constexpr std::u16string_view kAddLibraryCaption = u"添加包角仓库";
inline constexpr std::u16string_view kAddLibraryPrompt = u"输入包角仓库名称：";
inline constexpr std::u16string_view kAddFlashingCaption = u"添加包角";
inline constexpr std::u16string_view kAddFlashingPrompt = u"输入包角名称：";
inline constexpr std::u16string_view kReNameLibraryCaption = u"修改包角仓库名称";
inline constexpr std::u16string_view kReNameFlashingCaption = u"修改包角名称";
inline constexpr std::u16string_view kLibraryLimit = u"包角仓库最多为26个，已达上限。";
inline constexpr std::u16string_view kFlashingLimit =
    u"每种包角仓库包含的包角数量最多为26个，已达上限。";
inline constexpr std::u16string_view kAddTitleStart = u"添加";
inline constexpr std::u16string_view kPleaseEnter = u"请输入";
inline constexpr std::u16string_view kNameEnd = u"名称。";
inline constexpr std::u16string_view kNoBlank = u"名称不能含有空格！";
inline constexpr std::u16string_view kTooLongStart = u"名称不能多于";
inline constexpr std::u16string_view kTooLongChinese = u"个汉字或";
inline constexpr std::u16string_view kTooLongEnd = u"个英文。";
inline constexpr std::u16string_view kFlashingDuplicateStart = u"包角名称“";
inline constexpr std::u16string_view kFlashingDuplicateMiddle = u"”与包角列表中的第";
inline constexpr std::u16string_view kDuplicateEnd = u"条重合。";
inline constexpr std::u16string_view kLibraryDuplicateName = u"名称“";
inline constexpr std::u16string_view kLibraryDuplicateWith = u"”与";
inline constexpr std::u16string_view kLibraryDuplicateIn = u"中的第";
inline constexpr std::u16string_view kReNameNoLibrary = u"请先选择一个要重命名的包角仓库名称。";
inline constexpr std::u16string_view kReNameLibraryTitle = u"包角仓库重命名";
inline constexpr std::u16string_view kReNameNoFlashing = u"请先选择一个要重命名的包角名称。";
inline constexpr std::u16string_view kReNameFlashingTitle = u"包角重命名";
inline constexpr std::u16string_view kReNameTitle = u"重命名";
inline constexpr std::u16string_view kReNameTooLong = u"名称长度不能多于10个中文或20个英文。";
inline constexpr std::u16string_view kReNameDuplicate = u"名称与列表中第";
inline constexpr std::u16string_view kDeleteNoLibrary = u"请先选中一个要删除的包角仓库。";
inline constexpr std::u16string_view kDeleteLibraryWarning = u"整类包角都将删除，请谨慎操作！";
inline constexpr std::u16string_view kDeleteLibraryQuestion = u"确定删除包角仓库“";
inline constexpr std::u16string_view kDeleteQuestionEnd = u"”吗？";
inline constexpr std::u16string_view kDeleteLibraryTitle = u"删除整类包角";
inline constexpr std::u16string_view kErrorNumberSeparator = u"，";
inline constexpr std::u16string_view kSelectLibraryFirst = u"请先选中一个包角仓库。";
inline constexpr std::u16string_view kDeleteNoFlashing = u"请先选中一个要删除的包角。";
inline constexpr std::u16string_view kDeleteQuestion = u"确定删除“";
inline constexpr std::u16string_view kDeleteTitle = kCmdDelete;
inline constexpr std::u16string_view kLocateNoEntry = u"请先选中一个需定位的包角名称。";
inline constexpr std::u16string_view kLocateTitle = u"定位";
inline constexpr std::u16string_view kLocateNoLibrary = u"没找到包角仓库名称：";
inline constexpr std::u16string_view kFullStop = u"。";
inline constexpr std::u16string_view kLocateNoFlashing = u"没找到二级目录包角名称：";
inline constexpr std::u16string_view kBillNumberSeparator = u"、";
inline constexpr std::u16string_view kBillNameSeparator = u"：";
inline constexpr std::u16string_view kBillNoProfile = u" 未定义图形，请检查！";
inline constexpr std::u16string_view kBillSkippedStart = u"没找到包角 ";
inline constexpr std::u16string_view kBillSkippedEnd = u" 属性";
inline constexpr std::u16string_view kBillNothingFound =
    u"在当前使用包角列表中没找到有效的包角数据。";

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
